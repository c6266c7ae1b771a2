#include "app/ParameterEntry.h"

#include "app/SystemText.h"
#include "protocol/EntryRules.h"
#include "protocol/FieldCaptions.h"

#include <QGroupBox>
#include <QLabel>

namespace kronax {
namespace {

constexpr int FieldHeight = 21;
constexpr int FactorFieldLeft = 96;
constexpr int LabelGap = 2;
// From a tooth field's left edge to the next column's.
constexpr int TeethLabelWidth = 54;

std::string TextOf(const EntryField* field) {
    return field->text().toStdString();
}

} // namespace

ParameterEntry::ParameterEntry(QWidget* sensorBox, QWidget* multiplierBox, QObject* parent)
    : QObject(parent),
      gbCntPerRev_(
          new QGroupBox(FromSystemText(NumberFieldCaption(NumberField::CountsPerRev)), sensorBox)),
      gbTeeth_(new QGroupBox("Teeth", sensorBox)), maxCountsPerRev_(StartMaxCountsPerRev) {
    gbCntPerRev_->setObjectName("gbCntPerRev");
    gbCntPerRev_->setGeometry(577, 16, 113, 57);
    gbTeeth_->setObjectName("gbTeeth");
    gbTeeth_->setGeometry(577, 16, 113, 129);

    CreateField(NumberField::CountsPerRev, gbCntPerRev_, 8, 24, 65);
    const struct {
        NumberField field;
        int left;
        int top;
    } teeth[] = {{NumberField::Tooth1, 8, 26}, {NumberField::Gap1, 64, 26},
                 {NumberField::Tooth2, 8, 62}, {NumberField::Gap2, 64, 62},
                 {NumberField::Tooth3, 8, 98}, {NumberField::Gap3, 64, 98}};
    for (const auto& tooth : teeth) {
        CreateLabel(tooth.field, gbTeeth_, tooth.left, tooth.top - 13, TeethLabelWidth);
        CreateField(tooth.field, gbTeeth_, tooth.left, tooth.top, 41);
    }
    Field(NumberField::Tooth3)->setText("0");
    Field(NumberField::Gap3)->setText("0");

    const struct {
        NumberField field;
        int labelLeft;
        int top;
    } factors[] = {{NumberField::Multiplier, 8, 16},
                   {NumberField::Divider, 8, 40},
                   {NumberField::Alpha, 24, 64},
                   {NumberField::Beta, 24, 88}};
    for (const auto& factor : factors) {
        CreateLabel(factor.field, multiplierBox, factor.labelLeft, factor.top + 4,
                    FactorFieldLeft - factor.labelLeft - LabelGap);
        CreateField(factor.field, multiplierBox, FactorFieldLeft, factor.top, 41);
    }

    // In the order of NumberField.
    const std::array<void (ParameterEntry::*)(), NumberFieldCount> changeHandlers = {
        &ParameterEntry::edCntPerRevChange, &ParameterEntry::edTooth1Change,
        &ParameterEntry::edTooth2Change,    &ParameterEntry::edTooth3Change,
        &ParameterEntry::edGap1Change,      &ParameterEntry::edGap2Change,
        &ParameterEntry::edGap3Change,      &ParameterEntry::edMultiplierChange,
        &ParameterEntry::edDeviderChange,   &ParameterEntry::edAlphaChange,
        &ParameterEntry::edBetaChange};
    for (std::size_t index = 0; index < fields_.size(); ++index)
        connect(fields_[index], &EntryField::Change, this, changeHandlers[index]);
}

std::vector<FieldMismatch> ParameterEntry::Mismatches() const {
    std::vector<FieldMismatch> mismatches;
    for (std::size_t index = 0; index < fields_.size(); ++index) {
        const auto field = static_cast<NumberField>(index);
        const std::int32_t stored = FieldValue(configuration_, field);
        if (fields_[index]->text() != QString::number(stored))
            mismatches.push_back({field, fields_[index]->text(), stored});
    }
    return mismatches;
}

std::vector<FieldMismatch> ParameterEntry::OutOfRange() const {
    std::vector<FieldMismatch> outOfRange;
    for (std::size_t index = 0; index < fields_.size(); ++index) {
        const auto field = static_cast<NumberField>(index);
        const std::int32_t stored = FieldValue(configuration_, field);
        const ValueRange range = AcceptedValues(field, maxCountsPerRev_);
        if (fields_[index]->text() == QString::number(stored) &&
            (stored < range.min || stored > range.max))
            outOfRange.push_back({field, fields_[index]->text(), stored, true});
    }
    return outOfRange;
}

void ParameterEntry::CreateField(NumberField field, QWidget* box, int left, int top, int width) {
    static const char* const names[NumberFieldCount] = {
        "edCntPerRev", "edTooth1",     "edTooth2",  "edTooth3", "edGap1", "edGap2",
        "edGap3",      "edMultiplier", "edDevider", "edAlpha",  "edBeta"};
    auto* edit = new EntryField(box);
    edit->setObjectName(names[Index(field)]);
    edit->setGeometry(left, top, width, FieldHeight);
    fields_[Index(field)] = edit;
}

// A label ends where its field (or the next column) begins, so that a caption too wide for the
// font at hand shows as clipped instead of running under the field.
void ParameterEntry::CreateLabel(NumberField field, QWidget* box, int left, int top, int width) {
    auto* label = new QLabel(FromSystemText(NumberFieldCaption(field)), box);
    label->move(left, top);
    label->adjustSize();
    label->resize(width, label->height());
    labels_[Index(field)] = label;
}

void ParameterEntry::ShowConfiguration() {
    for (std::size_t index = 0; index < fields_.size(); ++index) {
        const auto field = static_cast<NumberField>(index);
        fields_[index]->SetText(QString::number(FieldValue(configuration_, field)));
    }
}

void ParameterEntry::StoreNumber(NumberField field, std::int32_t value) {
    StoreFieldValue(configuration_, field, value);
    Field(field)->SetText(QString::number(FieldValue(configuration_, field)));
}

void ParameterEntry::SetTeethEditable(bool allFields) {
    for (NumberField field : {NumberField::Gap1, NumberField::Tooth2, NumberField::Gap2,
                              NumberField::Tooth3, NumberField::Gap3}) {
        Field(field)->setEnabled(allFields);
        labels_[Index(field)]->setEnabled(allFields);
    }
    Field(NumberField::Tooth1)->setEnabled(true);
    labels_[Index(NumberField::Tooth1)]->setEnabled(true);
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
    EntryField* edit = Field(field);
    const auto value = ReadFieldValue(TextOf(edit), AcceptedValues(field, maxCountsPerRev_));
    if (value)
        StoreFieldValue(configuration_, field, *value);
    edit->SetValid(value.has_value());
}

void ParameterEntry::edCntPerRevChange() {
    EntryField* edit = Field(NumberField::CountsPerRev);
    const auto value =
        ReadFieldValue(TextOf(edit), AcceptedValues(NumberField::CountsPerRev, maxCountsPerRev_));
    if (value) {
        configuration_.CountsPerRev = *value;
        edMultiplierChange();
    }
    edit->SetValid(value.has_value());
}

void ParameterEntry::edMultiplierChange() {
    EntryField* edit = Field(NumberField::Multiplier);
    const auto value =
        ReadFieldValue(TextOf(edit), AcceptedValues(NumberField::Multiplier, maxCountsPerRev_));
    edit->SetValid(value.has_value());
    if (!value)
        return;
    configuration_.Multiplier = static_cast<std::uint8_t>(*value);
    const bool editable =
        AlphaBetaEditable(configuration_.Multiplier, configuration_.CountsPerRev, edgeFactor_);
    Field(NumberField::Alpha)->setEnabled(editable);
    Field(NumberField::Beta)->setEnabled(editable);
}

} // namespace kronax
