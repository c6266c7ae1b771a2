#pragma once

#include "form/FormDesign.h"
#include "protocol/OptionLists.h"

#include <array>
#include <functional>

namespace kronax {

class IFormView;
class ParameterEntry;

// The sensor-settings panel: the option groups of the sensor type and its inputs, the AUX and
// DI source lists, and the rules that show only the options of the chosen sensor type. A change
// of a radio group's selection runs its handler, whether the operator clicked or the program
// selected, and only when the selection really changes. UI thread only.
class SensorPanel {
public:
    // entry receives the limit updates and the teeth enabling; changed runs after every change
    // of a selection.
    SensorPanel(IFormView& view, ParameterEntry& entry, std::function<void()> changed);

    static ControlId SelectionControl(Selection selection);

    // Fills every list with its items and selects its start position; the selection handlers
    // run as a result and leave the "Off" presentation.
    void FillLists();

    // Shows, hides, enables and disables the panel's controls for the selected sensor type;
    // changes nothing while no sensor type is selected.
    void UpdateSensorControls();

    // The selected position of a list, or -1 when none is selected.
    int Selected(Selection selection) const;

    // Selects position, clamped to the list's items. A radio group that changes runs its
    // selection handler; selecting the current position runs nothing.
    void Select(Selection selection, int position);

    // The operator selected position of selection's group or list.
    void SelectionClicked(Selection selection, int position);

    // Selection handlers, run on every change of their group's selection.
    void rgSensorTypeClick();
    void rgCDMInputSelectionClick();
    void rgEncoderClick();
    void rgCAInputSelectionClick();
    void rgEdgeTriggerClick();
    void rgEdgeDetectionClick();
    void rgEdgeABClick();
    void rgTriggerLevelClick();
    void rgInputFilterClick();

private:
    static constexpr int GroupCount = 9;

    static bool IsGroup(Selection selection) { return static_cast<int>(selection) < GroupCount; }
    static std::size_t Index(Selection selection) { return static_cast<std::size_t>(selection); }
    void Change(Selection selection, int position, bool tellView);
    void RunHandler(Selection selection);

    IFormView& view_;
    ParameterEntry& entry_;
    std::function<void()> changed_;
    std::array<int, SelectionCount> selected_{};
    std::array<int, SelectionCount> counts_{};
};

} // namespace kronax
