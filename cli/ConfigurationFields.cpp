#include "cli/ConfigurationFields.h"

#include "cli/Text.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/PayloadCodec.h"

#include <algorithm>

namespace kronax::cli {
namespace {

bool Held(const Setting& setting, const HeldPayloads& held) {
    const auto kinds = PayloadsOf(setting);
    return std::all_of(kinds.begin(), kinds.end(),
                       [&held](PayloadKind kind) { return held[static_cast<std::size_t>(kind)]; });
}

NamedField Describe(const Setting& setting, const ConfigurationSnapshot& snapshot) {
    NamedField field{SettingKey(setting), SettingCaption(setting), "",
                     SettingJson(setting, snapshot), std::nullopt};
    if (const auto* number = std::get_if<NumberField>(&setting)) {
        const std::int32_t value = FieldValue(snapshot.configuration, *number);
        field.text = std::to_string(value);
        const ValueRange accepted = AcceptedValuesIn(snapshot, *number);
        if (value < accepted.min || value > accepted.max)
            field.accepted = accepted;
        return field;
    }
    const Selection selection = std::get<Selection>(setting);
    const auto items = OptionItems(selection);
    const int position = snapshot.Selected(selection);
    field.text = position >= 0 && static_cast<std::size_t>(position) < items.size()
                     ? Utf8FromSystemText(items[static_cast<std::size_t>(position)])
                     : "(none)";
    return field;
}

ConfigurationSnapshot Decoded(const PayloadTexts& payloads) {
    MemoryConfigurationView view;
    DecodePayloadTexts(payloads, view);
    return view.Snapshot();
}

} // namespace

std::vector<NamedField> ShownFields(const ConfigurationSnapshot& snapshot,
                                    const HeldPayloads& held) {
    const bool typeKnown = Held(Selection::SensorType, held);
    const SensorControls controls = SensorControlsFor(snapshot.Selected(Selection::SensorType),
                                                      snapshot.Selected(Selection::CaInput));
    std::vector<NamedField> fields;
    for (const Setting& setting : AllSettings())
        if (Held(setting, held) && (!typeKnown || ShownFor(setting, controls)))
            fields.push_back(Describe(setting, snapshot));
    return fields;
}

std::string FieldsText(const ConfigurationSnapshot& snapshot, const HeldPayloads& held) {
    std::string text;
    for (const NamedField& field : ShownFields(snapshot, held))
        text += field.caption + ": " + field.text +
                (field.accepted ? " (out of range: " + RangeText(*field.accepted) + ")" : "") +
                "\n";
    return text;
}

nlohmann::ordered_json FieldsJson(const ConfigurationSnapshot& snapshot, const HeldPayloads& held) {
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    for (const NamedField& field : ShownFields(snapshot, held))
        json[field.key] = field.value;
    return json;
}

std::string OutOfRangeLine(const OutOfRangeValue& found) {
    return SettingKey(found.field) + " " + std::to_string(found.value) + " (out of range " +
           RangeText(found.accepted) + ")";
}

std::string OutOfRangeText(const ConfigurationSnapshot& snapshot) {
    std::string text;
    for (const OutOfRangeValue& found : OutOfRangeValues(snapshot))
        text += (text.empty() ? "" : "; ") + OutOfRangeLine(found);
    return text;
}

nlohmann::ordered_json OutOfRangeJson(const ConfigurationSnapshot& snapshot) {
    nlohmann::ordered_json json = nlohmann::ordered_json::array();
    for (const OutOfRangeValue& found : OutOfRangeValues(snapshot))
        json.push_back({{"field", SettingKey(found.field)},
                        {"value", found.value},
                        {"min", found.accepted.min},
                        {"max", found.accepted.max}});
    return json;
}

std::vector<FieldDifference> DiffFields(const PayloadTexts& boardHolds,
                                        const PayloadTexts& fileHolds) {
    const ConfigurationSnapshot board = Decoded(boardHolds);
    const ConfigurationSnapshot file = Decoded(fileHolds);
    const auto controls = [](const ConfigurationSnapshot& snapshot) {
        return SensorControlsFor(snapshot.Selected(Selection::SensorType),
                                 snapshot.Selected(Selection::CaInput));
    };
    std::vector<FieldDifference> differences;
    for (const Setting& setting : AllSettings()) {
        if (!ShownFor(setting, controls(board)) && !ShownFor(setting, controls(file)))
            continue;
        NamedField onBoard = Describe(setting, board);
        NamedField inFile = Describe(setting, file);
        if (onBoard.text != inFile.text)
            differences.push_back({onBoard.key, onBoard.caption, onBoard.text, inFile.text,
                                   onBoard.value, inFile.value});
    }
    return differences;
}

std::string DifferencesText(const std::vector<FieldDifference>& differences,
                            const std::string& written) {
    if (differences.empty())
        return "No differences.\n";
    std::string text;
    for (const FieldDifference& difference : differences)
        text += difference.caption + ": board " + difference.boardText + ", " + written + " " +
                difference.fileText + "\n";
    return text;
}

} // namespace kronax::cli
