#include "app/PortChoice.h"

#include "app/SystemText.h"
#include "link/SerialPort.h"
#include "protocol/IntegerText.h"

#include <QComboBox>
#include <QLabel>

namespace kronax {
namespace {

// Entries are "COM" followed by the port number.
constexpr std::size_t PrefixLength = 3;

std::string PortName(std::int32_t number) {
    return "COM" + std::to_string(number);
}

} // namespace

EConvertError::EConvertError(const std::string& text)
    : std::runtime_error("'" + text + "' is not a valid integer value") {}

PortChoice::PortChoice(QComboBox* cmbComPort, QLabel* lblConnection)
    : cmbComPort_(cmbComPort), lblConnection_(lblConnection) {}

void PortChoice::Fill(const std::vector<std::string>& names) {
    for (const std::string& name : names)
        cmbComPort_->addItem(FromSystemText(name));
}

void PortChoice::Remember(std::int32_t number) {
    comPortNumber_ = number;
    cmbComPort_->setCurrentIndex(cmbComPort_->findText(FromSystemText(PortName(number))));
}

bool PortChoice::Choose(TSerialPort& port) {
    if (cmbComPort_->currentIndex() < 0)
        return false;
    const std::string entry = cmbComPort_->currentText().toLatin1().toStdString();
    const std::string digits = entry.size() > PrefixLength ? entry.substr(PrefixLength) : "";
    const auto number = ReadInteger(digits);
    if (!number)
        throw EConvertError(digits);
    comPortNumber_ = *number;

    port.ClosePort();
    port.SetPort(PortName(comPortNumber_));
    try {
        port.OpenPort();
        lblConnection_->clear();
    } catch (const ESerialPort&) {
        cmbComPort_->setCurrentIndex(-1);
        lblConnection_->setText("No com port opened.");
    }
    return port.Connected();
}

} // namespace kronax
