#include "form/PortChoice.h"

#include "form/DisplayText.h"
#include "form/FileNames.h"
#include "form/FormView.h"
#include "form/OutcomeSummary.h"
#include "form/StatusLine.h"
#include "form/WindowQuestions.h"
#include "link/PortFailure.h"
#include "link/SerialPort.h"
#include "protocol/IntegerText.h"

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
std::string DeviceColumn(const PortIdentity& port) {
    const std::string line = DescribePort(port);
    const std::string prefix = DisplayText(port.name) + " \u00b7 ";
    return line.starts_with(prefix) ? line.substr(prefix.size()) : std::string();
}

std::string Details(const PortIdentity& port) {
    std::vector<std::string> lines{DescribePort(port)};
    const auto add = [&lines](const char* label, const std::string& value) {
        if (!value.empty())
            lines.push_back(label + value);
    };
    add("Manufacturer: ", port.manufacturer);
    add("Product: ", port.product);
    add("Serial number: ", port.serialNumber);
    if (!port.vendorId.empty())
        lines.push_back("USB ID: " + port.vendorId + ":" + port.productId);
    return Joined(lines, "\n");
}

std::size_t Index(int index) {
    return static_cast<std::size_t>(index);
}

bool Listed(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

EConvertError::EConvertError(const std::string& text)
    : std::runtime_error("'" + text + "' is not a valid integer value") {}

PortChoice::PortChoice(IFormView& view, StatusLine& status) : view_(view), status_(status) {
    ShowNoConnection();
}

void PortChoice::Fill(const std::vector<PortIdentity>& ports) {
    const std::string selectedName = selected_ >= 0 ? ports_[Index(selected_)].name : "";
    ports_ = ports;
    std::vector<PortListEntry> entries;
    for (const PortIdentity& port : ports)
        entries.push_back({DisplayText(port.name), DeviceColumn(port), Details(port)});
    view_.SetPorts(entries);
    selected_ = -1;
    SelectName(selectedName);
}

void PortChoice::Select(int index) {
    selected_ = index >= 0 && Index(index) < ports_.size() ? index : -1;
    view_.SetSelection(ControlId::cmbComPort, selected_);
}

void PortChoice::SelectName(const std::string& name) {
    const auto found =
        std::find_if(ports_.begin(), ports_.end(),
                     [&name](const PortIdentity& port) { return port.name == name; });
    Select(found == ports_.end() ? -1 : static_cast<int>(found - ports_.begin()));
}

void PortChoice::Refresh() {
    try {
        Fill(ListPortIdentities());
    } catch (const ESerialPort& error) {
        status_.ShowOutcome({"The port list could not be read: " + NativeText(error.what()), true});
    }
}

void PortChoice::Remember(std::int32_t number) {
    comPortNumber_ = number;
    SelectName(PortName(number));
}

bool PortChoice::Choose(TSerialPort& port) {
    if (selected_ < 0)
        return false;
    const std::string entry = ports_[Index(selected_)].name;
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
        view_.SetText(ControlId::lblConnection, "");
    } catch (const ESerialPort& error) {
        Select(-1);
        view_.SetText(ControlId::lblConnection, NoComPortText);
        status_.ShowOutcome(
            PortFailureOutcome(port.Port(), ClassifyPortFailure(error, PortStage::Opening)),
            NativeText(error.what()));
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
    Select(-1);
    view_.SetText(ControlId::lblConnection, NoComPortText);
    ShowNoConnection();
    Outcome outcome = PortFailureOutcome(name, VanishedPort());
    if (sentNoAnswer)
        outcome.text += " Its last command was sent and got no answer: the board may hold it.";
    status_.ShowOutcome(outcome);
    Refresh();
}

void PortChoice::WatchPorts(TSerialPort& port, bool lastUnanswered) {
    std::vector<std::string> names;
    try {
        ListSerialPorts(names);
    } catch (const ESerialPort&) {
        return; // the next look may succeed; a dropped-down list says why
    }
    if (port.Connected() && !Listed(names, port.Port()))
        DropVanished(port, lastUnanswered);
    std::vector<std::string> shown;
    for (const PortIdentity& listed : ports_)
        shown.push_back(listed.name);
    if (shown != names && !view_.PortListDropped())
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
    status_.ShowConnection(DescribePort(identity), Details(identity));
}

void PortChoice::ShowNoConnection() {
    status_.ShowConnection(NoComPortText);
}

} // namespace kronax
