#pragma once

#include "app/EntryField.h"
#include "protocol/DeviceConfiguration.h"

#include <QObject>

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

class QGroupBox;
class QLabel;

namespace kronax {

// A field whose text is not the value stored for it (an invalid text), or whose stored value is
// outside the field's range (outOfRange; read from the board or a file): a write sends stored.
struct FieldMismatch {
    NumberField field;
    QString shown;
    std::int32_t stored;
    bool outOfRange = false;
    // An out-of-range value the board holds itself.
    bool reportedByBoard = false;
};

// The eleven entry fields of the numeric board parameters with their rules, and the values
// they store. A valid text is stored at once and turns its field white; an invalid one turns
// it red and leaves the stored value as it was. Use on the UI thread only.
class ParameterEntry : public QObject {
    Q_OBJECT
public:
    // Creates the counts and teeth boxes inside sensorBox and the multiplier, divider, alpha
    // and beta fields inside multiplierBox, all at their design places.
    ParameterEntry(QWidget* sensorBox, QWidget* multiplierBox, QObject* parent);

    QGroupBox* CntPerRevBox() const { return gbCntPerRev_; }
    QGroupBox* TeethBox() const { return gbTeeth_; }
    EntryField* Field(NumberField field) const { return fields_[Index(field)]; }

    const DeviceConfiguration& Configuration() const { return configuration_; }
    std::int32_t MaxCountsPerRev() const { return maxCountsPerRev_; }
    std::int32_t EdgeFactor() const { return edgeFactor_; }

    // The fields whose text is not their stored value, in the order of NumberField.
    std::vector<FieldMismatch> Mismatches() const;

    // The fields that show their stored value while it is out of their range, in the order of
    // NumberField; reportedByBoard is left false.
    std::vector<FieldMismatch> OutOfRange() const;

    // Writes every stored value into its field as decimal text; fields whose text changes run
    // their rule.
    void ShowConfiguration();

    // Stores value first, then writes its decimal text into the field; the field's rule runs
    // only when that text differs from the current one.
    void StoreNumber(NumberField field, std::int32_t value);

    // Enables all six tooth and gap fields with their labels, or only "Tooth 1".
    void SetTeethEditable(bool allFields);

    // Limit update after a change of the encoder mode (-1: none selected).
    void EncoderModeLimitUpdate(int encoderMode);

    // Limit update after a change of the edges-A-B setting.
    void EdgeABLimitUpdate(int edgeAB, int encoderMode);

private:
    static std::size_t Index(NumberField field) { return static_cast<std::size_t>(field); }

    void CreateField(NumberField field, QWidget* box, int left, int top, int width);
    void CreateLabel(NumberField field, QWidget* box, int left, int top, int width);
    void SetLimit(std::int32_t edgeFactor);

    // Change handlers, run on every change of their field's text.
    void edCntPerRevChange();
    void edTooth1Change();
    void edTooth2Change();
    void edTooth3Change();
    void edGap1Change();
    void edGap2Change();
    void edGap3Change();
    void edMultiplierChange();
    void edDeviderChange();
    void edAlphaChange();
    void edBetaChange();

    void PlainFieldChange(NumberField field);

    QGroupBox* gbCntPerRev_;
    QGroupBox* gbTeeth_;
    std::array<EntryField*, NumberFieldCount> fields_{};
    std::array<QLabel*, NumberFieldCount> labels_{};
    DeviceConfiguration configuration_;
    std::int32_t maxCountsPerRev_;
    std::int32_t edgeFactor_ = 1;
};

} // namespace kronax
