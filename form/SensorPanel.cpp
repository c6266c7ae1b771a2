#include "form/SensorPanel.h"

#include "form/DisplayText.h"
#include "form/FormView.h"
#include "form/ParameterEntry.h"
#include "protocol/SensorRules.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kronax {
namespace {

constexpr std::array<ControlId, SelectionCount> SelectionControls = {
    ControlId::rgSensorType,  ControlId::rgCDMInputSelection,
    ControlId::rgEncoder,     ControlId::rgCAInputSelection,
    ControlId::rgEdgeTrigger, ControlId::rgEdgeDetection,
    ControlId::rgEdgeAB,      ControlId::rgTriggerLevel,
    ControlId::rgInputFilter, ControlId::cmbAux1,
    ControlId::cmbAux2,       ControlId::cmbDI6,
    ControlId::cmbDI7};

std::vector<std::string> ItemTexts(Selection selection) {
    std::vector<std::string> texts;
    for (std::string_view item : OptionItems(selection))
        texts.push_back(DisplayText(item));
    return texts;
}

} // namespace

SensorPanel::SensorPanel(IFormView& view, ParameterEntry& entry, std::function<void()> changed)
    : view_(view), entry_(entry), changed_(std::move(changed)) {
    selected_.fill(-1);
}

ControlId SensorPanel::SelectionControl(Selection selection) {
    return SelectionControls[Index(selection)];
}

void SensorPanel::FillLists() {
    for (int index = 0; index < SelectionCount; ++index) {
        const auto selection = static_cast<Selection>(index);
        const std::vector<std::string> items = ItemTexts(selection);
        view_.SetItems(SelectionControl(selection), items);
        counts_[Index(selection)] = static_cast<int>(items.size());
        selected_[Index(selection)] = -1;
        Change(selection, StartPosition(selection), true);
    }
}

void SensorPanel::UpdateSensorControls() {
    const int type = Selected(Selection::SensorType);
    if (type < 0)
        return;
    const SensorControls shown = SensorControlsFor(type, Selected(Selection::CaInput));
    view_.SetVisible(ControlId::rgCDMInputSelection, shown.cdmInput);
    view_.SetVisible(ControlId::rgEncoder, shown.encoderMode);
    view_.SetVisible(ControlId::rgCAInputSelection, shown.caInput);
    view_.SetVisible(ControlId::rgEdgeTrigger, shown.edgeTrigger);
    view_.SetVisible(ControlId::rgEdgeDetection, shown.edgeDetection);
    view_.SetVisible(ControlId::rgEdgeAB, shown.edgeAB);
    view_.SetVisible(ControlId::rgTriggerLevel, shown.triggerLevel);
    view_.SetVisible(ControlId::rgInputFilter, shown.inputFilter);
    view_.SetVisible(ControlId::gbCntPerRev, shown.countsPerRev);
    view_.SetVisible(ControlId::gbTeeth, shown.teeth);

    if (IsInCarSensor(type)) {
        view_.SetEnabled(ControlId::rgTriggerLevel, shown.triggerLevelEnabled);
        entry_.SetTeethEditable(shown.teethEditable);
    }
    if (!shown.aux1Enabled)
        Change(Selection::Aux1Source, counts_[Index(Selection::Aux1Source)] - 1, true);
    view_.SetEnabled(ControlId::cmbAux1, shown.aux1Enabled);
}

int SensorPanel::Selected(Selection selection) const {
    return selected_[Index(selection)];
}

void SensorPanel::Select(Selection selection, int position) {
    const int count = counts_[Index(selection)];
    if (count > 0)
        Change(selection, std::clamp(position, 0, count - 1), true);
}

void SensorPanel::SelectionClicked(Selection selection, int position) {
    if (position >= 0 && position < counts_[Index(selection)])
        Change(selection, position, false);
}

void SensorPanel::Change(Selection selection, int position, bool tellView) {
    if (position == Selected(selection))
        return;
    selected_[Index(selection)] = position;
    if (tellView)
        view_.SetSelection(SelectionControl(selection), position);
    if (IsGroup(selection))
        RunHandler(selection);
    if (changed_)
        changed_();
}

void SensorPanel::RunHandler(Selection selection) {
    static const std::array<void (SensorPanel::*)(), GroupCount> handlers = {
        &SensorPanel::rgSensorTypeClick,  &SensorPanel::rgCDMInputSelectionClick,
        &SensorPanel::rgEncoderClick,     &SensorPanel::rgCAInputSelectionClick,
        &SensorPanel::rgEdgeTriggerClick, &SensorPanel::rgEdgeDetectionClick,
        &SensorPanel::rgEdgeABClick,      &SensorPanel::rgTriggerLevelClick,
        &SensorPanel::rgInputFilterClick};
    (this->*handlers[Index(selection)])();
}

void SensorPanel::rgSensorTypeClick() {
    UpdateSensorControls();
}

void SensorPanel::rgCDMInputSelectionClick() {
    UpdateSensorControls();
}

void SensorPanel::rgCAInputSelectionClick() {
    UpdateSensorControls();
}

void SensorPanel::rgEdgeTriggerClick() {
    UpdateSensorControls();
}

void SensorPanel::rgEdgeDetectionClick() {
    UpdateSensorControls();
}

void SensorPanel::rgTriggerLevelClick() {
    UpdateSensorControls();
}

void SensorPanel::rgInputFilterClick() {
    UpdateSensorControls();
}

void SensorPanel::rgEncoderClick() {
    UpdateSensorControls();
    entry_.EncoderModeLimitUpdate(Selected(Selection::EncoderMode));
}

void SensorPanel::rgEdgeABClick() {
    UpdateSensorControls();
    entry_.EdgeABLimitUpdate(Selected(Selection::EdgeAB), Selected(Selection::EncoderMode));
}

} // namespace kronax
