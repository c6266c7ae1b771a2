#pragma once

#include "form/FieldMismatch.h"
#include "form/FormDesign.h"
#include "protocol/DeviceConfiguration.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kronax {

class IFormView;

// The eleven entry fields of the numeric board parameters with their rules, and the values
// they store. A valid text is stored at once and turns its field white; an invalid one turns
// it red and leaves the stored value as it was. A field's rule runs whenever its text really
// changes, whether the operator typed it or the program set it. UI thread only.
class ParameterEntry {
public:
    // view shows the fields; changed runs after every change of a field's text.
    ParameterEntry(IFormView& view, std::function<void()> changed);

    static ControlId FieldControl(NumberField field);

    const DeviceConfiguration& Configuration() const { return configuration_; }
    std::int32_t MaxCountsPerRev() const { return maxCountsPerRev_; }
    std::int32_t EdgeFactor() const { return edgeFactor_; }
    const std::string& Text(NumberField field) const { return texts_[Index(field)]; }
    bool Valid(NumberField field) const;

    // The fields whose text does not hold their stored value, in the order of NumberField. A text
    // holds a value when it reads as that number in any spelling the field accepts ("07", "+7").
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

    // The operator's edit: the field's rule runs when text differs from the current one.
    void FieldEdited(NumberField field, const std::string& text);

    // Enables all six tooth and gap fields with their labels, or only "Tooth 1".
    void SetTeethEditable(bool allFields);

    // Limit update after a change of the encoder mode (-1: none selected).
    void EncoderModeLimitUpdate(int encoderMode);

    // Limit update after a change of the edges-A-B setting.
    void EdgeABLimitUpdate(int edgeAB, int encoderMode);

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

private:
    static std::size_t Index(NumberField field) { return static_cast<std::size_t>(field); }

    void SetText(NumberField field, const std::string& text);
    void RunRule(NumberField field);
    void SetLimit(std::int32_t edgeFactor);
    void PlainFieldChange(NumberField field);
    void ShowValidity(NumberField field, bool valid);
    bool ShowsStored(NumberField field) const;

    IFormView& view_;
    std::function<void()> changed_;
    std::array<std::string, NumberFieldCount> texts_{};
    std::array<bool, NumberFieldCount> valid_{};
    DeviceConfiguration configuration_;
    std::int32_t maxCountsPerRev_;
    std::int32_t edgeFactor_ = 1;
};

} // namespace kronax
