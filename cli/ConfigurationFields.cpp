#include "cli/ConfigurationFields.h"

#include "cli/Text.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/FieldCaptions.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/PayloadCodec.h"
#include "protocol/SensorRules.h"

#include <array>
#include <variant>

namespace kronax::cli {
namespace {

using Field = std::variant<Selection, NumberField>;

// Every setting in the order the window lays them out.
constexpr std::array<Field, SelectionCount + NumberFieldCount> AllFields = {
    Selection::SensorType,     Selection::CdmInput,     Selection::EncoderMode,
    Selection::CaInput,        Selection::EdgeTrigger,  Selection::EdgeDetection,
    Selection::EdgeAB,         Selection::TriggerLevel, Selection::InputFilter,
    NumberField::CountsPerRev, NumberField::Tooth1,     NumberField::Gap1,
    NumberField::Tooth2,       NumberField::Gap2,       NumberField::Tooth3,
    NumberField::Gap3,         Selection::Aux1Source,   Selection::Aux2Source,
    Selection::Di6Source,      Selection::Di7Source,    NumberField::Multiplier,
    NumberField::Divider,      NumberField::Alpha,      NumberField::Beta};

bool IsTooth(NumberField field) {
    return field != NumberField::CountsPerRev && field < NumberField::Multiplier;
}

bool Shown(const Field& field, const SensorControls& controls) {
    if (const auto* number = std::get_if<NumberField>(&field)) {
        if (*number == NumberField::CountsPerRev)
            return controls.countsPerRev;
        return IsTooth(*number) ? controls.teeth : true;
    }
    switch (std::get<Selection>(field)) {
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

SensorControls ControlsOf(const ConfigurationSnapshot& snapshot) {
    return SensorControlsFor(snapshot.Selected(Selection::SensorType),
                             snapshot.Selected(Selection::CaInput));
}

NamedField Describe(const Field& field, const ConfigurationSnapshot& snapshot) {
    if (const auto* number = std::get_if<NumberField>(&field)) {
        const std::int32_t value = FieldValue(snapshot.configuration, *number);
        return {std::string(NumberFieldCaption(*number)), std::to_string(value), value};
    }
    const Selection selection = std::get<Selection>(field);
    const auto items = OptionItems(selection);
    const int position = snapshot.Selected(selection);
    std::string text = position >= 0 && static_cast<std::size_t>(position) < items.size()
                           ? Utf8FromSystemText(items[static_cast<std::size_t>(position)])
                           : "(none)";
    return {std::string(SelectionCaption(selection)), std::move(text), std::nullopt};
}

ConfigurationSnapshot Decoded(const PayloadTexts& payloads) {
    MemoryConfigurationView view;
    DecodePayloadTexts(payloads, view);
    return view.Snapshot();
}

} // namespace

std::vector<NamedField> ShownFields(const ConfigurationSnapshot& snapshot) {
    const SensorControls controls = ControlsOf(snapshot);
    std::vector<NamedField> fields;
    for (const Field& field : AllFields)
        if (Shown(field, controls))
            fields.push_back(Describe(field, snapshot));
    return fields;
}

std::string FieldsText(const ConfigurationSnapshot& snapshot) {
    std::string text;
    for (const NamedField& field : ShownFields(snapshot))
        text += field.caption + ": " + field.text + "\n";
    return text;
}

nlohmann::ordered_json FieldsJson(const ConfigurationSnapshot& snapshot) {
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    for (const NamedField& field : ShownFields(snapshot)) {
        if (field.number)
            json[field.caption] = *field.number;
        else
            json[field.caption] = field.text;
    }
    return json;
}

std::vector<FieldDifference> DiffFields(const PayloadTexts& boardHolds,
                                        const PayloadTexts& fileHolds) {
    const ConfigurationSnapshot board = Decoded(boardHolds);
    const ConfigurationSnapshot file = Decoded(fileHolds);
    std::vector<FieldDifference> differences;
    for (const Field& field : AllFields) {
        NamedField onBoard = Describe(field, board);
        NamedField inFile = Describe(field, file);
        if (onBoard.text != inFile.text)
            differences.push_back({onBoard.caption, onBoard.text, inFile.text});
    }
    return differences;
}

std::string DifferencesText(const std::vector<FieldDifference>& differences) {
    if (differences.empty())
        return "No differences.\n";
    std::string text;
    for (const FieldDifference& difference : differences)
        text += difference.caption + ": board " + difference.boardText + ", file " +
                difference.fileText + "\n";
    return text;
}

} // namespace kronax::cli
