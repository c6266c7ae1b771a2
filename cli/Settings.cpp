#include "cli/Settings.h"

#include "cli/Text.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/FieldCaptions.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/PayloadCodec.h"
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

constexpr int CaInputCa = 0;

int SensorTypeCount() {
    return static_cast<int>(OptionItems(Selection::SensorType).size());
}

// "Pulse + Trigger, Motion Encoder", with a note for the settings the In Car types use only while
// their CA input is CA.
std::string UsedByText(const Setting& setting) {
    std::string text;
    bool whileCa = false;
    for (int type = 0; type < SensorTypeCount(); ++type)
        if (UsedFor(setting, SensorControlsFor(type, CaInputCa))) {
            text += (text.empty() ? "" : ", ") + ChoiceText(Selection::SensorType, type);
            whileCa = whileCa || !UsedFor(setting, SensorControlsFor(type, CaInputCdma));
        }
    return text + (whileCa ? " (the In Car types while ca_input is CA)" : "");
}

std::string AssignmentText(const SettingValue& value) {
    if (std::holds_alternative<NumberField>(value.setting))
        return SettingKey(value.setting) + "=" + std::to_string(value.value);
    return SettingKey(value.setting) + "=" +
           ChoiceText(std::get<Selection>(value.setting), value.value);
}

// The configuration a board or file holds once snapshot's payloads are written to it.
ConfigurationSnapshot ReadBack(const ConfigurationSnapshot& snapshot) {
    MemoryConfigurationView view;
    DecodePayloadTexts(EncodePayloads(snapshot), view);
    return view.Snapshot();
}

ConfigurationSnapshot Applied(ConfigurationSnapshot snapshot,
                              const std::vector<SettingValue>& values) {
    ApplySettingValues(snapshot, values);
    return snapshot;
}

bool KeepsSensorType(const ConfigurationSnapshot& snapshot) {
    return ReadBack(snapshot).Selected(Selection::SensorType) ==
           snapshot.Selected(Selection::SensorType);
}

// The values without which the sensor type would stay as set: those that change it.
std::string SideEffectCulprits(const ConfigurationSnapshot& before,
                               const std::vector<SettingValue>& values) {
    std::string culprits;
    for (std::size_t index = 0; index < values.size(); ++index) {
        std::vector<SettingValue> others = values;
        others.erase(others.begin() + static_cast<std::ptrdiff_t>(index));
        if (KeepsSensorType(Applied(before, others)))
            culprits += (culprits.empty() ? "" : ", ") + AssignmentText(values[index]);
    }
    if (!culprits.empty())
        return culprits;
    for (const SettingValue& value : values)
        culprits += (culprits.empty() ? "" : ", ") + AssignmentText(value);
    return culprits;
}

// A number as kronax takes it: an optional sign and decimal digits, nothing else; a value too
// long for 64 bits is held at the nearest bound, which lies outside every range anyway.
std::optional<std::int64_t> ReadDecimal(std::string_view text) {
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text)
        value = std::min<std::int64_t>(value * 10 + (c - '0'), std::int64_t{1} << 40);
    return negative ? -value : value;
}

SettingValue ParseNumber(NumberField field, const std::string& key, std::string_view text) {
    const ValueRange range = WidestRange(field);
    const std::string given = key + "=" + std::string(text) + ": ";
    const auto value = ReadDecimal(text);
    if (!value)
        throw ESettingProblem(given +
                              "not a number (a number is decimal digits with an optional "
                              "sign); " +
                              key + " takes " + TakesText(field));
    if (*value < range.min || *value > range.max)
        throw ESettingProblem(given + key + " takes " + TakesText(field));
    return {field, static_cast<std::int32_t>(*value)};
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

bool UsedFor(const Setting& setting, const SensorControls& controls) {
    if (!ShownFor(setting, controls))
        return false;
    if (const auto* number = std::get_if<NumberField>(&setting))
        return *number < NumberField::Tooth2 || *number > NumberField::Gap3 ||
               controls.teethEditable;
    if (setting == Setting(Selection::Aux1Source))
        return controls.aux1Enabled;
    if (setting == Setting(Selection::TriggerLevel))
        return controls.triggerLevelEnabled;
    return true;
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

void CheckSettingsApply(const ConfigurationSnapshot& before,
                        const std::vector<SettingValue>& values, const std::string& holder) {
    const ConfigurationSnapshot after = Applied(before, values);
    const int type = after.Selected(Selection::SensorType);
    const int caInput = after.Selected(Selection::CaInput);
    const std::string typeName = ChoiceText(Selection::SensorType, type);
    const bool typeGiven = std::any_of(values.begin(), values.end(), [](const SettingValue& value) {
        return value.setting == Setting(Selection::SensorType);
    });
    const std::string typeHeld =
        (typeGiven ? "the sensor type given is " : holder + " sensor type is ") + typeName;
    for (const SettingValue& value : values) {
        if (UsedFor(value.setting, SensorControlsFor(type, caInput)))
            continue;
        // Off is what the window itself gives AUX 1 there.
        if (value.setting == Setting(Selection::Aux1Source) && value.value == AuxSourceOff)
            continue;
        const bool byCaInput = UsedFor(value.setting, SensorControlsFor(type, CaInputCa));
        throw ESettingProblem(
            SettingKey(value.setting) + " is used by " + UsedByText(value.setting) + "; " +
            typeHeld +
            (byCaInput ? " with ca_input " + ChoiceText(Selection::CaInput, caInput) : ""));
    }
    const ConfigurationSnapshot readBack = ReadBack(after);
    if (const int readType = readBack.Selected(Selection::SensorType); readType != type)
        throw ESettingProblem(SideEffectCulprits(before, values) + " would make the sensor type " +
                              ChoiceText(Selection::SensorType, readType) +
                              (typeGiven ? ", not " + typeName + " as given"
                                         : "; " + holder + " sensor type is " + typeName +
                                               " (sensor_type= changes it)") +
                              (type == sensor_type::Off ? "; with sensor type Off both AUX "
                                                          "sources must be off"
                                                        : ""));
    for (const SettingValue& value : values)
        if (SettingJson(value.setting, readBack) != SettingJson(value.setting, after))
            throw ESettingProblem(AssignmentText(value) + " would not be kept: it reads back as " +
                                  SettingJson(value.setting, readBack).dump());
}

nlohmann::ordered_json SettingDescriptionJson(const Setting& setting) {
    using Json = nlohmann::ordered_json;
    Json json = {{"caption", Utf8FromSystemText(SettingCaption(setting))}};
    if (const auto* number = std::get_if<NumberField>(&setting)) {
        const ValueRange range = WidestRange(*number);
        json.update({{"min", range.min}, {"max", range.max}, {"choices", nullptr}});
    } else {
        Json choices = Json::array();
        const Selection selection = std::get<Selection>(setting);
        for (std::size_t position = 0; position < OptionItems(selection).size(); ++position)
            choices.push_back(ChoiceText(selection, static_cast<int>(position)));
        json.update({{"min", nullptr}, {"max", nullptr}, {"choices", choices}});
    }
    for (const auto& [key, caInput] :
         {std::pair{"used_by", CaInputCa}, std::pair{"used_by_ca_input_cdma", CaInputCdma}}) {
        Json types = Json::array();
        for (int type = 0; type < SensorTypeCount(); ++type)
            if (UsedFor(setting, SensorControlsFor(type, caInput)))
                types.push_back(ChoiceText(Selection::SensorType, type));
        json[key] = types;
    }
    Json payloads = Json::array();
    for (PayloadKind kind : PayloadsOf(setting))
        payloads.push_back(KindName(kind));
    json["payloads"] = payloads;
    return json;
}

std::string SettingsListText() {
    std::string text;
    for (const Setting& setting : AllSettings())
        text += SettingKey(setting) + " (" + SettingCaption(setting) + "): " + TakesText(setting) +
                "; used by " + UsedByText(setting) + "\n";
    return text;
}

} // namespace kronax::cli
