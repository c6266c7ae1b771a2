#pragma once

#include "protocol/ConfigurationSnapshot.h"
#include "protocol/DeviceConfiguration.h"
#include "protocol/OptionLists.h"
#include "protocol/PayloadKind.h"
#include "protocol/TransferReport.h"

#include <variant>
#include <vector>

namespace kronax {

// One setting of the configuration: a numeric parameter or a selection.
using Setting = std::variant<NumberField, Selection>;

// What the board holds as far as the window knows: per kind, the payload the board last
// acknowledged or reported. Until the board has told anything, the start values. Not
// thread-safe; use it from one thread.
class BoardCopy {
public:
    BoardCopy();

    // Takes the payloads of a transfer with the board: those it acknowledged (a write) or
    // reported whole and legal (a read). A transfer with a file changes nothing.
    void Take(const TransferReport& report);

    // The settings whose value in shown differs from what the board holds, in the order of
    // NumberField and then Selection. A selection that goes into no payload as shown (one the
    // sensor type does not use) never differs. Pure.
    std::vector<Setting> Differences(const ConfigurationSnapshot& shown) const;

    const PayloadTexts& Payloads() const { return payloads_; }

private:
    PayloadTexts payloads_;
};

// "Multiplier" for "Multiplier (0..255)", "Sensor Type", ...: the caption without its range.
std::string SettingName(const Setting& setting);

} // namespace kronax
