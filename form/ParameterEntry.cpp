#include "form/ParameterEntry.h"

#include "form/DisplayText.h"
#include "form/FormView.h"
#include "protocol/EntryRules.h"
#include "protocol/FieldCaptions.h"
#include "protocol/IntegerText.h"

namespace kronax {
namespace {

constexpr std::array<ControlId, NumberFieldCount> FieldControls = {
    ControlId::edCntPerRev, ControlId::edTooth1, ControlId::edTooth2, ControlId::edTooth3,
    ControlId::edGap1,      ControlId::edGap2,   ControlId::edGap3,   ControlId::edMultiplier,
    ControlId::edDevider,   ControlId::edAlpha,  ControlId::edBeta};

constexpr std::array<ControlId, NumberFieldCount> LabelControls = {
    ControlId::gbCntPerRev, ControlId::lblTooth1, ControlId::lblTooth2, ControlId::lblTooth3,
    ControlId::lblGap1,     ControlId::lblGap2,   ControlId::lblGap3,   ControlId::lblMultiplier,
    ControlId::lblDevider,  ControlId::lblAlpha,  ControlId::lblBeta};

// "Multiplier takes 0 to 255." for a screen reader's account of a red field.
std::string RangeDescription(NumberField field, std::int32_t maxCountsPerRev) {
    const std::string caption = DisplayText(NumberFieldCaption(field));
    const ValueRange range = AcceptedValues(field, maxCountsPerRev);
    return caption.substr(0, caption.find(" (")) + " takes " + std::to_string(range.min) + " to " +
           std::to_string(range.max) + ".";
}

} // namespace

ParameterEntry::ParameterEntry(IFormView& view, std::function<void()> changed)
    : view_(view), changed_(std::move(changed)), maxCountsPerRev_(StartMaxCountsPerRev) {
    valid_.fill(true);
    for (const NumberField field : {NumberField::Tooth3, NumberField::Gap3}) {
        texts_[Index(field)] = "0";
        view_.SetText(FieldControl(field), "0");
    }
}

ControlId ParameterEntry::FieldControl(NumberField field) {
    return FieldControls[Index(field)];
}

bool ParameterEntry::Valid(NumberField field) const {
    return valid_[Index(field)];
}

bool ParameterEntry::ShowsStored(NumberField field) const {
    return ReadInteger(Text(field)) == FieldValue(configuration_, field);
}

std::vector<FieldMismatch> ParameterEntry::Mismatches() const {
    std::vector<FieldMismatch> mismatches;
    for (std::size_t index = 0; index < texts_.size(); ++index) {
        const auto field = static_cast<NumberField>(index);
        if (!ShowsStored(field))
            mismatches.push_back({field, texts_[index], FieldValue(configuration_, field)});
    }
    return mismatches;
}

std::vector<FieldMismatch> ParameterEntry::OutOfRange() const {
    std::vector<FieldMismatch> outOfRange;
    for (std::size_t index = 0; index < texts_.size(); ++index) {
        const auto field = static_cast<NumberField>(index);
        const std::int32_t stored = FieldValue(configuration_, field);
        const ValueRange range = AcceptedValues(field, maxCountsPerRev_);
        if (ShowsStored(field) && (stored < range.min || stored > range.max))
            outOfRange.push_back({field, texts_[index], stored, true});
    }
    return outOfRange;
}

void ParameterEntry::ShowConfiguration() {
    for (std::size_t index = 0; index < texts_.size(); ++index) {
        const auto field = static_cast<NumberField>(index);
        SetText(field, std::to_string(FieldValue(configuration_, field)));
    }
}

void ParameterEntry::StoreNumber(NumberField field, std::int32_t value) {
    StoreFieldValue(configuration_, field, value);
    SetText(field, std::to_string(FieldValue(configuration_, field)));
}

void ParameterEntry::FieldEdited(NumberField field, const std::string& text) {
    if (text == Text(field))
        return;
    texts_[Index(field)] = text;
    RunRule(field);
}

void ParameterEntry::SetText(NumberField field, const std::string& text) {
    if (text == Text(field))
        return;
    texts_[Index(field)] = text;
    view_.SetText(FieldControl(field), text);
    RunRule(field);
}

void ParameterEntry::RunRule(NumberField field) {
    static const std::array<void (ParameterEntry::*)(), NumberFieldCount> handlers = {
        &ParameterEntry::edCntPerRevChange, &ParameterEntry::edTooth1Change,
        &ParameterEntry::edTooth2Change,    &ParameterEntry::edTooth3Change,
        &ParameterEntry::edGap1Change,      &ParameterEntry::edGap2Change,
        &ParameterEntry::edGap3Change,      &ParameterEntry::edMultiplierChange,
        &ParameterEntry::edDeviderChange,   &ParameterEntry::edAlphaChange,
        &ParameterEntry::edBetaChange};
    (this->*handlers[Index(field)])();
    if (changed_)
        changed_();
}

void ParameterEntry::ShowValidity(NumberField field, bool valid) {
    valid_[Index(field)] = valid;
    view_.SetValid(FieldControl(field), valid,
                   valid ? std::string() : RangeDescription(field, maxCountsPerRev_));
}

void ParameterEntry::SetTeethEditable(bool allFields) {
    for (NumberField field : {NumberField::Gap1, NumberField::Tooth2, NumberField::Gap2,
                              NumberField::Tooth3, NumberField::Gap3}) {
        view_.SetEnabled(FieldControl(field), allFields);
        view_.SetEnabled(LabelControls[Index(field)], allFields);
    }
    view_.SetEnabled(FieldControl(NumberField::Tooth1), true);
    view_.SetEnabled(LabelControls[Index(NumberField::Tooth1)], true);
}

void ParameterEntry::EncoderModeLimitUpdate(int encoderMode) {
    SetLimit(EdgeFactorOfEncoderMode(encoderMode, edgeFactor_));
}

void ParameterEntry::EdgeABLimitUpdate(int edgeAB, int encoderMode) {
    SetLimit(EdgeFactorOfEdges(edgeAB, encoderMode, edgeFactor_));
}

void ParameterEntry::SetLimit(std::int32_t edgeFactor) {
    edgeFactor_ = edgeFactor;
    maxCountsPerRev_ = MaxCountsPerRevFor(edgeFactor);
    edCntPerRevChange();
}

void ParameterEntry::edTooth1Change() {
    PlainFieldChange(NumberField::Tooth1);
}

void ParameterEntry::edTooth2Change() {
    PlainFieldChange(NumberField::Tooth2);
}

void ParameterEntry::edTooth3Change() {
    PlainFieldChange(NumberField::Tooth3);
}

void ParameterEntry::edGap1Change() {
    PlainFieldChange(NumberField::Gap1);
}

void ParameterEntry::edGap2Change() {
    PlainFieldChange(NumberField::Gap2);
}

void ParameterEntry::edGap3Change() {
    PlainFieldChange(NumberField::Gap3);
}

void ParameterEntry::edDeviderChange() {
    PlainFieldChange(NumberField::Divider);
}

void ParameterEntry::edAlphaChange() {
    PlainFieldChange(NumberField::Alpha);
}

void ParameterEntry::edBetaChange() {
    PlainFieldChange(NumberField::Beta);
}

void ParameterEntry::PlainFieldChange(NumberField field) {
    const auto value = ReadFieldValue(Text(field), AcceptedValues(field, maxCountsPerRev_));
    if (value)
        StoreFieldValue(configuration_, field, *value);
    ShowValidity(field, value.has_value());
}

void ParameterEntry::edCntPerRevChange() {
    const auto value = ReadFieldValue(Text(NumberField::CountsPerRev),
                                      AcceptedValues(NumberField::CountsPerRev, maxCountsPerRev_));
    if (value) {
        configuration_.CountsPerRev = *value;
        edMultiplierChange();
    }
    ShowValidity(NumberField::CountsPerRev, value.has_value());
}

void ParameterEntry::edMultiplierChange() {
    const auto value = ReadFieldValue(Text(NumberField::Multiplier),
                                      AcceptedValues(NumberField::Multiplier, maxCountsPerRev_));
    ShowValidity(NumberField::Multiplier, value.has_value());
    if (!value)
        return;
    configuration_.Multiplier = static_cast<std::uint8_t>(*value);
    const bool editable =
        AlphaBetaEditable(configuration_.Multiplier, configuration_.CountsPerRev, edgeFactor_);
    view_.SetEnabled(ControlId::edAlpha, editable);
    view_.SetEnabled(ControlId::edBeta, editable);
}

} // namespace kronax
