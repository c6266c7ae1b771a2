#pragma once

#include "app/RadioGroup.h"
#include "protocol/OptionLists.h"

#include <QObject>

#include <array>

class QComboBox;
class QGroupBox;

namespace kronax {

class ParameterEntry;

// The sensor-settings panel: the option groups of the sensor type and its inputs, the AUX and
// DI source lists, and the rules that show only the options of the chosen sensor type. The
// selections live in the controls. Use on the UI thread only.
class SensorPanel : public QObject {
    Q_OBJECT
public:
    // Creates the option groups inside sensorBox and the labelled source lists inside auxBox,
    // all empty; entry receives the limit updates and the teeth enabling.
    SensorPanel(QGroupBox* sensorBox, QGroupBox* auxBox, ParameterEntry& entry, QObject* parent);

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

private:
    static constexpr int GroupCount = 9;
    static constexpr int ListCount = SelectionCount - GroupCount;

    static bool IsGroup(Selection selection) { return static_cast<int>(selection) < GroupCount; }
    RadioGroup* Group(Selection selection) const;
    QComboBox* List(Selection selection) const;

    void CreateGroups(QGroupBox* sensorBox);
    void CreateLists(QGroupBox* auxBox);

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

    ParameterEntry& entry_;
    std::array<RadioGroup*, GroupCount> groups_{};
    std::array<QComboBox*, ListCount> lists_{};
};

} // namespace kronax
