#pragma once

#include "protocol/ConfigurationSnapshot.h"
#include "protocol/EntryRules.h"
#include "protocol/PayloadKind.h"
#include "protocol/SensorRules.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kronax::cli {

// The settings of a configuration by the names scripts use: the keys of the JSON output
// ("sensor_type", "multiplier", "aux1_source", ...). The ranges and choices are the window's.

using Setting = std::variant<Selection, NumberField>;

// Every setting in the order the window lays them out.
const std::vector<Setting>& AllSettings();

std::string SettingKey(const Setting& setting);
// The caption under which the window shows the setting: "Divider (1..255)", "AUX 1", ...
std::string SettingCaption(const Setting& setting);

// The payloads a setting travels in: the sensor type in MOD and MUX, the others in one.
std::vector<PayloadKind> PayloadsOf(const Setting& setting);

// Whether the window shows the setting when the panel shows controls.
bool ShownFor(const Setting& setting, const SensorControls& controls);

// Whether the setting does anything with these controls: the window shows it and lets the
// operator change it. AUX 1 and the trigger level go unused while an "In Car" sensor takes its CA
// input from CDMA, and the teeth and gaps after the first tooth with a double tooth.
bool UsedFor(const Setting& setting, const SensorControls& controls);

// "1 to 255".
std::string RangeText(ValueRange range);

// A choice as scripts see it: the item's text in UTF-8, and "off" for "== Off ==".
std::string ChoiceText(Selection selection, int position);

// The setting's value in snapshot as a JSON number or choice text.
nlohmann::ordered_json SettingJson(const Setting& setting, const ConfigurationSnapshot& snapshot);

// A name=value that cannot be applied; what() names the setting and what it takes.
class ESettingProblem : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct SettingValue {
    Setting setting;
    std::int32_t value; // the number, or the position of the choice
};

// Reads "name=value": a number in decimal (or as the window reads it) within the widest range of
// the setting, or a choice by its text, in any letter case. Raises ESettingProblem.
SettingValue ParseSettingValue(std::string_view assignment);

// Applies values in their order, then switches AUX 1 off where the window's panel does.
void ApplySettingValues(ConfigurationSnapshot& snapshot, const std::vector<SettingValue>& values);

// Refuses values that would not do what they say on the configuration before, whose holder
// ("the board's", "the file's") the message names: a setting that the resulting sensor type does
// not use, and settings that would change the sensor type as a side effect (any AUX source on a
// sensor type Off) unless they set the sensor type too. Raises ESettingProblem.
void CheckSettingsApply(const ConfigurationSnapshot& before,
                        const std::vector<SettingValue>& values, const std::string& holder);

// What SettingsListText says of a setting, as JSON keys: caption, min and max (null for a
// choice), choices (null for a number), used_by (the sensor types, with ca_input CA),
// used_by_ca_input_cdma (with ca_input CDMA) and payloads.
nlohmann::ordered_json SettingDescriptionJson(const Setting& setting);

// Every setting, one a line: its name, its range or choices and the sensor types that use it.
std::string SettingsListText();

} // namespace kronax::cli
