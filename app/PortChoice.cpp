#include "app/PortChoice.h"

#include "app/OutcomeSummary.h"
#include "app/PortList.h"
#include "app/StatusLine.h"
#include "app/SystemText.h"
#include "link/PortFailure.h"
#include "link/SerialPort.h"
#include "protocol/IntegerText.h"

#include <QAbstractItemView>
#include <QLabel>

#include <algorithm>

namespace kronax {
namespace {

// Entries are "COM" followed by the port number.
constexpr std::size_t PrefixLength = 3;
const char* const NoComPortText = "No com port opened.";

std::string PortName(std::int32_t number) {
    return "COM" + std::to_string(number);
}

// DescribePort gives UTF-8 text that starts with the port's name.
QString Description(const PortIdentity& port) {
    return QString::fromUtf8(DescribePort(port));
}

QString DeviceColumn(const PortIdentity& port) {
    const QString line = Description(port);
    const QString prefix = FromSystemText(port.name) + QString::fromUtf8(" \u00b7 ");
    return line.startsWith(prefix) ? line.mid(prefix.size()) : QString();
}

QString Details(const PortIdentity& port) {
    QStringList lines{Description(port)};
    const auto add = [&lines](const char* label, const std::string& value) {
        if (!value.empty())
            lines << label + QString::fromUtf8(value);
    };
    add("Manufacturer: ", port.manufacturer);
    add("Product: ", port.product);
    add("Serial number: ", port.serialNumber);
    if (!port.vendorId.empty())
        lines << "USB ID: " + QString::fromUtf8(port.vendorId + ":" + port.productId);
    return lines.join('\n');
}

bool Listed(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

EConvertError::EConvertError(const std::string& text)
    : std::runtime_error("'" + text + "' is not a valid integer value") {}

PortChoice::PortChoice(PortList* cmbComPort, QLabel* lblConnection, StatusLine& status)
    : cmbComPort_(cmbComPort), lblConnection_(lblConnection), status_(status) {
    ShowNoConnection();
}

void PortChoice::Fill(const std::vector<PortIdentity>& ports) {
    ports_ = ports;
    std::vector<PortEntry> entries;
    for (const PortIdentity& port : ports)
        entries.push_back({FromSystemText(port.name), DeviceColumn(port), Details(port)});
    cmbComPort_->SetPorts(entries);
}

void PortChoice::Refresh() {
    try {
        Fill(ListPortIdentities());
    } catch (const ESerialPort& error) {
        status_.ShowOutcome(
            {"The port list could not be read: " + QString::fromLocal8Bit(error.what()), true});
    }
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
    vanishedPort_.clear();

    port.ClosePort();
    port.SetPort(PortName(comPortNumber_));
    try {
        port.OpenPort();
        lblConnection_->clear();
    } catch (const ESerialPort& error) {
        cmbComPort_->setCurrentIndex(-1);
        lblConnection_->setText(NoComPortText);
        status_.ShowOutcome(
            PortFailureOutcome(port.Port(), ClassifyPortFailure(error, PortStage::Opening)),
            QString::fromLocal8Bit(error.what()));
    }
    if (port.Connected())
        ShowConnection(port);
    else
        ShowNoConnection();
    return port.Connected();
}

void PortChoice::DropVanished(TSerialPort& port, bool sentNoAnswer) {
    const std::string name = port.Port();
    try {
        port.ClosePort();
    } catch (const ESerialPort&) {
        // Nothing more can be done with a device that is gone; the port stays as it is.
    }
    vanishedPort_ = name;
    announcedBack_ = false;
    cmbComPort_->setCurrentIndex(-1);
    lblConnection_->setText(NoComPortText);
    ShowNoConnection();
    Outcome outcome = PortFailureOutcome(name, VanishedPort());
    if (sentNoAnswer)
        outcome.text += " Its last command was sent and got no answer: the board may hold it.";
    status_.ShowOutcome(outcome);
    Refresh();
}

void PortChoice::WatchPorts(TSerialPort& port) {
    std::vector<std::string> names;
    try {
        ListSerialPorts(names);
    } catch (const ESerialPort&) {
        return; // the next look may succeed; a dropped-down list says why
    }
    if (port.Connected() && !Listed(names, port.Port()))
        DropVanished(port);
    std::vector<std::string> shown;
    for (const QString& name : cmbComPort_->Names())
        shown.push_back(name.toLatin1().toStdString());
    if (shown != names && !cmbComPort_->view()->isVisible())
        Refresh();
    if (!vanishedPort_.empty() && !announcedBack_ && !port.Connected() &&
        Listed(names, vanishedPort_)) {
        status_.ShowOutcome(PortBackOutcome(vanishedPort_));
        announcedBack_ = true;
    }
}

std::string PortChoice::NotSentReason(const TSerialPort& port) const {
    if (port.Connected())
        return {};
    if (!vanishedPort_.empty())
        return vanishedPort_ + " " + DescribePortFailure(VanishedPort());
    return "no com port opened";
}

void PortChoice::ShowConnection(const TSerialPort& port) {
    const auto known = std::find_if(ports_.begin(), ports_.end(), [&port](const PortIdentity& p) {
        return p.name == port.Port();
    });
    const PortIdentity identity =
        known != ports_.end() ? *known : PortIdentity{port.Port(), {}, {}, {}, {}, {}, {}};
    status_.ShowConnection(Description(identity), Details(identity));
}

void PortChoice::ShowNoConnection() {
    status_.ShowConnection(NoComPortText);
}

} // namespace kronax
