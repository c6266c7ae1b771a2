#include "form/FormDesign.h"
#include "form/ParameterEntry.h"
#include "form/PortChoice.h"
#include "form/SensorPanel.h"
#include "form/StatusLine.h"
#include "link/SerialPort.h"
#include "protocol/OptionLists.h"
#include "tests/form/FakeFormView.h"

#include <gtest/gtest.h>

#include <set>

namespace kronax::test {
namespace {

// A text that reads as the stored value in another accepted spelling names no mismatch: a write
// sends what the field shows.
TEST(FormParameterEntry, AcceptedSpellingsOfTheStoredValueAreNoMismatch) {
    const struct {
        const char* text;
        bool mismatch;
    } cases[] = {{"7", false},    {"07", false}, {"+7", false}, {"$7", false},
                 {"0x07", false}, {"300", true}, {"x", true}};
    for (const auto& c : cases) {
        FakeFormView view;
        ParameterEntry entry(view, {});
        entry.ShowConfiguration();
        entry.StoreNumber(NumberField::Multiplier, 7);
        entry.FieldEdited(NumberField::Multiplier, c.text);
        const auto mismatches = entry.Mismatches();
        ASSERT_LE(mismatches.size(), 1u) << c.text;
        EXPECT_EQ(mismatches.size() == 1 && mismatches[0].field == NumberField::Multiplier,
                  c.mismatch)
            << c.text;
    }
}

// The form's own change runs the field's rule once, shows it, and never again for the same text.
TEST(FormParameterEntry, AStoredValueIsShownOnceAndARedFieldSaysItsRange) {
    FakeFormView view;
    ParameterEntry entry(view, {});
    entry.StoreNumber(NumberField::CountsPerRev, 7201);
    entry.StoreNumber(NumberField::CountsPerRev, 7201);
    EXPECT_EQ(view[ControlId::edCntPerRev].text, "7201");
    EXPECT_EQ(view[ControlId::edCntPerRev].textSets, 1);
    EXPECT_FALSE(view[ControlId::edCntPerRev].valid);
    EXPECT_EQ(view[ControlId::edCntPerRev].description, "Counts per Rev. takes 1 to 7200.");
    entry.FieldEdited(NumberField::CountsPerRev, "7200");
    EXPECT_TRUE(view[ControlId::edCntPerRev].valid);
    EXPECT_EQ(view[ControlId::edCntPerRev].description, "");
    EXPECT_EQ(view[ControlId::edCntPerRev].textSets, 1) << "an edit is not echoed back";
}

TEST(FormSensorPanel, ReselectingRunsNoRuleAndAnOperatorClickRunsTheSameRule) {
    FakeFormView view;
    ParameterEntry entry(view, {});
    int changes = 0;
    SensorPanel panel(view, entry, [&changes] { ++changes; });
    panel.FillLists();
    EXPECT_FALSE(view[ControlId::rgEncoder].visible) << "Off shows no encoder mode";
    panel.SelectionClicked(Selection::SensorType, sensor_type::MotionEncoder);
    EXPECT_TRUE(view[ControlId::rgEncoder].visible);
    EXPECT_EQ(view[ControlId::rgSensorType].selection, 0) << "a click is not echoed back";
    const int before = changes;
    panel.Select(Selection::SensorType, sensor_type::MotionEncoder);
    EXPECT_EQ(changes, before);
    panel.Select(Selection::EncoderMode, 2);
    EXPECT_EQ(entry.MaxCountsPerRev(), 1800) << "x4 sets the limit";
    EXPECT_EQ(view[ControlId::rgEncoder].selection, 2);
}

TEST(FormPortChoice, EntryWithoutANumberIsAnErrorAndLeavesThePortAlone) {
    FakeFormView view;
    StatusLine status(view);
    PortChoice choice(view, status);
    choice.Fill({PortIdentity{"COMX", {}, {}, {}, {}, {}, {}}});
    choice.Select(0);
    TSerialPort port;
    port.SetPort("COM7");
    try {
        choice.Choose(port);
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "'X' is not a valid integer value");
    }
    EXPECT_EQ(port.Port(), "COM7");
    EXPECT_EQ(choice.ComPortNumber(), 1);
}

// Each entry field, list and radio group is read out by the caption of its own label or title.
TEST(FormDesignTable, ControlsAreNamedByTheirOwnCaptions) {
    const std::pair<ControlId, const char*> names[] = {
        {ControlId::cmbComPort, "COM Port"},
        {ControlId::rgSensorType, "Sensor Type"},
        {ControlId::rgEdgeDetection, "Edge Detection"},
        {ControlId::rgEdgeAB, "Edge A, B"},
        {ControlId::edCntPerRev, "Counts per Rev."},
        {ControlId::edTooth1, "Tooth 1"},
        {ControlId::edGap3, "Gap 3"},
        {ControlId::cmbAux1, "AUX 1"},
        {ControlId::cmbDI7, "DI 7"},
        {ControlId::edMultiplier, "Multiplier"},
        {ControlId::edDevider, "Divider"},
        {ControlId::edBeta, "Beta"}};
    for (const auto& [id, name] : names)
        EXPECT_EQ(DesignOf(id).accessibleName, name) << DesignOf(id).name;
}

// Tab follows the layout: the port, the sensor panel left to right, then the boxes below it.
TEST(FormDesignTable, TabFollowsTheLayout) {
    using C = ControlId;
    const std::vector<ControlId> expected = {C::cmbComPort,
                                             C::rgSensorType,
                                             C::rgCDMInputSelection,
                                             C::rgEncoder,
                                             C::rgCAInputSelection,
                                             C::rgEdgeTrigger,
                                             C::rgEdgeDetection,
                                             C::rgEdgeAB,
                                             C::rgTriggerLevel,
                                             C::rgInputFilter,
                                             C::edCntPerRev,
                                             C::edTooth1,
                                             C::edGap1,
                                             C::edTooth2,
                                             C::edGap2,
                                             C::edTooth3,
                                             C::edGap3,
                                             C::cmbAux1,
                                             C::cmbAux2,
                                             C::cmbDI6,
                                             C::cmbDI7,
                                             C::edMultiplier,
                                             C::edDevider,
                                             C::edAlpha,
                                             C::edBeta,
                                             C::btnStart,
                                             C::btnStatus,
                                             C::btnWriteToKronax,
                                             C::memDebug};
    EXPECT_EQ(TabOrder(), expected);
}

TEST(FormDesignTable, EveryControlLiesInsideItsParent) {
    for (const ControlDesign& control : FormControls()) {
        if (control.id == ControlId::Client || control.kind == ControlKind::TrafficLog)
            continue;
        const DesignRect parent = DesignOf(control.parent).place;
        EXPECT_LE(control.place.left + control.place.width, parent.width) << control.name;
        EXPECT_LE(control.place.top + control.place.height, parent.height) << control.name;
    }
}

} // namespace
} // namespace kronax::test
