#include "cli/Settings.h"

#include "cli/Text.h"
#include "protocol/FieldCaptions.h"
#include "protocol/RangeCheck.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace kronax::cli {
namespace {

// In the order of Selection and of NumberField.
constexpr std::array<std::string_view, SelectionCount> SelectionKeys = {
    "sensor_type",    "cdm_input",  "encoder_mode",  "ca_input",     "edge_trigger",
    "edge_detection", "edge_ab",    "trigger_level", "input_filter", "aux1_source",
    "aux2_source",    "di6_source", "di7_source"};
constexpr std::array<std::string_view, NumberFieldCount> NumberFieldKeys = {
    "counts_per_rev", "tooth1",     "tooth2",  "tooth3", "gap1", "gap2",
    "gap3",           "multiplier", "divider", "alpha",  "beta"};

bool IsOff(Selection selection, int position) {
    return ((selection == Selection::Aux1Source || selection == Selection::Aux2Source) &&
            position == AuxSourceOff) ||
           ((selection == Selection::Di6Source || selection == Selection::Di7Source) &&
            position == DiSourceOff);
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](char c) { return static_cast<char>(std::tolower(c)); });
    return lowered;
}

// The widest range of a number: the counts as the least strict limit allows.
ValueRange WidestRange(NumberField field) {
    return AcceptedValues(field, StartMaxCountsPerRev);
}

std::string ChoicesText(Selection selection) {
    std::string text;
    const auto items = OptionItems(selection);
    for (std::size_t position = 0; position < items.size(); ++position)
        text += (position == 0 ? "\"" : ", \"") +
                ChoiceText(selection, static_cast<int>(position)) + "\"";
    return text;
}

// What a setting takes, for messages and the list: "1 to 255" or "one of "x1", "x2", "x4"".
std::string TakesText(const Setting& setting) {
    if (const auto* number = std::get_if<NumberField>(&setting)) {
        if (*number == NumberField::CountsPerRev)
            return RangeText(WidestRange(*number)) + ", 1 to " +
                   std::to_string(CountsPerRevLimit(1, 0)) + " with encoder mode x2 or edges " +
                   "both, 1 to " + std::to_string(CountsPerRevLimit(2, 0)) + " with x4";
        return RangeText(WidestRange(*number));
    }
    return "one of " + ChoicesText(std::get<Selection>(setting));
}

std::string SensorTypesText(const Setting& setting) {
    std::string text;
    for (int type = 0; type < static_cast<int>(OptionItems(Selection::SensorType).size()); ++type)
        if (ShownFor(setting, SensorControlsFor(type, 0)))
            text += (text.empty() ? "" : ", ") + ChoiceText(Selection::SensorType, type);
    return text;
}

SettingValue ParseNumber(NumberField field, const std::string& key, std::string_view text) {
    const ValueRange range = WidestRange(field);
    if (const auto value = ReadFieldValue(text, range))
        return {field, *value};
    throw ESettingProblem(key + "=" + std::string(text) + ": " + key + " takes " +
                          TakesText(field));
}

SettingValue ParseChoice(Selection selection, const std::string& key, std::string_view text) {
    const auto items = OptionItems(selection);
    for (std::size_t position = 0; position < items.size(); ++position) {
        const int at = static_cast<int>(position);
        if (Lowered(text) == Lowered(ChoiceText(selection, at)) ||
            Lowered(text) == Lowered(Utf8FromSystemText(items[position])))
            return {selection, at};
    }
    throw ESettingProblem(key + "=" + std::string(text) + ": " + key + " takes " +
                          TakesText(selection));
}

} // namespace

const std::vector<Setting>& AllSettings() {
    static const std::vector<Setting> settings = {
        Selection::SensorType,     Selection::CdmInput,     Selection::EncoderMode,
        Selection::CaInput,        Selection::EdgeTrigger,  Selection::EdgeDetection,
        Selection::EdgeAB,         Selection::TriggerLevel, Selection::InputFilter,
        NumberField::CountsPerRev, NumberField::Tooth1,     NumberField::Gap1,
        NumberField::Tooth2,       NumberField::Gap2,       NumberField::Tooth3,
        NumberField::Gap3,         Selection::Aux1Source,   Selection::Aux2Source,
        Selection::Di6Source,      Selection::Di7Source,    NumberField::Multiplier,
        NumberField::Divider,      NumberField::Alpha,      NumberField::Beta};
    return settings;
}

bool ShownFor(const Setting& setting, const SensorControls& controls) {
    if (const auto* number = std::get_if<NumberField>(&setting)) {
        if (*number == NumberField::CountsPerRev)
            return controls.countsPerRev;
        return *number >= NumberField::Multiplier || controls.teeth;
    }
    switch (std::get<Selection>(setting)) {
    case Selection::CdmInput:
        return controls.cdmInput;
    case Selection::EncoderMode:
        return controls.encoderMode;
    case Selection::CaInput:
        return controls.caInput;
    case Selection::EdgeTrigger:
        return controls.edgeTrigger;
    case Selection::EdgeDetection:
        return controls.edgeDetection;
    case Selection::EdgeAB:
        return controls.edgeAB;
    case Selection::TriggerLevel:
        return controls.triggerLevel;
    case Selection::InputFilter:
        return controls.inputFilter;
    default:
        return true;
    }
}

std::string RangeText(ValueRange range) {
    return std::to_string(range.min) + " to " + std::to_string(range.max);
}

std::string SettingKey(const Setting& setting) {
    if (const auto* number = std::get_if<NumberField>(&setting))
        return std::string(NumberFieldKeys[static_cast<std::size_t>(*number)]);
    return std::string(SelectionKeys[static_cast<std::size_t>(std::get<Selection>(setting))]);
}

std::string SettingCaption(const Setting& setting) {
    if (const auto* number = std::get_if<NumberField>(&setting))
        return std::string(NumberFieldCaption(*number));
    return std::string(SelectionCaption(std::get<Selection>(setting)));
}

std::vector<PayloadKind> PayloadsOf(const Setting& setting) {
    if (const auto* number = std::get_if<NumberField>(&setting)) {
        switch (*number) {
        case NumberField::CountsPerRev:
            return {PayloadKind::CDM};
        case NumberField::Multiplier:
        case NumberField::Divider:
            return {PayloadKind::TDF};
        case NumberField::Alpha:
        case NumberField::Beta:
            return {PayloadKind::ABV};
        default:
            return {PayloadKind::SEN};
        }
    }
    switch (std::get<Selection>(setting)) {
    case Selection::SensorType:
        return {PayloadKind::MOD, PayloadKind::MUX};
    case Selection::Aux1Source:
    case Selection::Aux2Source:
    case Selection::Di6Source:
    case Selection::Di7Source:
        return {PayloadKind::MUX};
    default:
        return {PayloadKind::MOD};
    }
}

std::string ChoiceText(Selection selection, int position) {
    if (IsOff(selection, position))
        return "off";
    const auto items = OptionItems(selection);
    if (position < 0 || static_cast<std::size_t>(position) >= items.size())
        return "";
    return Utf8FromSystemText(items[static_cast<std::size_t>(position)]);
}

nlohmann::ordered_json SettingJson(const Setting& setting, const ConfigurationSnapshot& snapshot) {
    if (const auto* number = std::get_if<NumberField>(&setting))
        return FieldValue(snapshot.configuration, *number);
    const Selection selection = std::get<Selection>(setting);
    return ChoiceText(selection, snapshot.Selected(selection));
}

SettingValue ParseSettingValue(std::string_view assignment) {
    const std::size_t equals = assignment.find('=');
    const std::string key(assignment.substr(0, equals));
    std::vector<std::string> keys;
    for (const Setting& setting : AllSettings())
        keys.push_back(SettingKey(setting));
    const auto named = std::find(keys.begin(), keys.end(), key);
    if (named == keys.end())
        throw ESettingProblem("'" + key + "' is no setting" + DidYouMean(key, keys) +
                              "; 'kronax settings' lists them");
    const Setting setting = AllSettings()[static_cast<std::size_t>(named - keys.begin())];
    if (equals == std::string_view::npos)
        throw ESettingProblem(key + ": give " + key + "=<value>, " + key + " takes " +
                              TakesText(setting));
    const std::string_view value = assignment.substr(equals + 1);
    if (const auto* number = std::get_if<NumberField>(&setting))
        return ParseNumber(*number, key, value);
    return ParseChoice(std::get<Selection>(setting), key, value);
}

void ApplySettingValues(ConfigurationSnapshot& snapshot, const std::vector<SettingValue>& values) {
    for (const SettingValue& value : values) {
        if (const auto* number = std::get_if<NumberField>(&value.setting))
            StoreFieldValue(snapshot.configuration, *number, value.value);
        else
            snapshot.Selected(std::get<Selection>(value.setting)) = value.value;
    }
    if (Aux1Withheld(snapshot.Selected(Selection::SensorType),
                     snapshot.Selected(Selection::CaInput)))
        snapshot.Selected(Selection::Aux1Source) = AuxSourceOff;
}

std::string SettingsListText() {
    std::string text;
    for (const Setting& setting : AllSettings())
        text += SettingKey(setting) + " (" + SettingCaption(setting) + "): " + TakesText(setting) +
                "; used by " + SensorTypesText(setting) + "\n";
    return text;
}

} // namespace kronax::cli
