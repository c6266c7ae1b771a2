#include "tests/app/FormProbe.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

#include <set>
#include <string>

namespace kronax::test {
namespace {

const char* const PanelControls[] = {
    "rgCDMInputSelection", "rgEncoder", "rgCAInputSelection", "rgEdgeTrigger",
    "rgEdgeDetection",     "rgEdgeAB",  "rgTriggerLevel",     "rgInputFilter",
    "gbCntPerRev",         "gbTeeth",
};

std::set<std::string> ShownControls(const FormProbe& form) {
    std::set<std::string> shown;
    for (const char* name : PanelControls)
        if (!form.Control<QWidget>(name)->isHidden())
            shown.insert(name);
    return shown;
}

TEST(SensorPanel, EachSensorTypeShowsOnlyItsOptions) {
    const struct {
        int type;
        std::set<std::string> shown;
    } cases[] = {
        {sensor_type::Off, {}},
        {sensor_type::PulseTrigger,
         {"rgCDMInputSelection", "rgEdgeTrigger", "rgEdgeAB", "rgInputFilter", "gbCntPerRev"}},
        {sensor_type::MotionEncoder,
         {"rgEncoder", "rgEdgeTrigger", "rgEdgeAB", "rgInputFilter", "gbCntPerRev"}},
        {sensor_type::InCarWithGaps,
         {"rgCAInputSelection", "rgEdgeDetection", "rgTriggerLevel", "rgInputFilter", "gbTeeth"}},
        {sensor_type::InCarDoubleTooth,
         {"rgCAInputSelection", "rgEdgeDetection", "rgTriggerLevel", "rgInputFilter", "gbTeeth"}},
    };
    FormProbe form;
    for (const auto& c : cases) {
        form.Form().Select(Selection::SensorType, c.type);
        EXPECT_EQ(ShownControls(form), c.shown) << "sensor type " << c.type;
        EXPECT_FALSE(form.Group("rgSensorType")->isHidden());
        EXPECT_EQ(form.Group("rgEdgeAB")->Count(), 3) << "\"both\" is always offered";
    }
}

TEST(SensorPanel, StartsInTheOffPresentationWithTheStartSelections) {
    FormProbe form;
    EXPECT_TRUE(ShownControls(form).empty());
    // The first item of every group; "== Off ==", the last item, of the AUX and DI lists.
    const int start[SelectionCount] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 16, 8, 8};
    for (int index = 0; index < SelectionCount; ++index)
        EXPECT_EQ(form.Form().Selected(static_cast<Selection>(index)), start[index])
            << "selection " << index;
    EXPECT_EQ(form.Control<QComboBox>("cmbAux1")->currentText(), "== Off ==");
    EXPECT_EQ(form.Control<QComboBox>("cmbDI7")->count(), 9);
}

TEST(SensorPanel, FilterItemsShowTheMicroSign) {
    FormProbe form;
    QStringList texts;
    for (auto* button : form.Group("rgInputFilter")->findChildren<QAbstractButton*>())
        texts << button->text();
    EXPECT_TRUE(texts.contains(QString("5 ") + QChar(0x00B5) + "s"))
        << texts.join('|').toStdString();
}

TEST(SensorPanel, CdmaAsCaInputDisablesTriggerLevelAndForcesAux1Off) {
    FormProbe form;
    auto* aux1 = form.Control<QComboBox>("cmbAux1");
    form.Form().Select(Selection::SensorType, sensor_type::InCarWithGaps);
    form.Form().Select(Selection::Aux1Source, 3);

    form.Form().Select(Selection::CaInput, CaInputCdma);
    EXPECT_FALSE(aux1->isEnabled());
    EXPECT_EQ(aux1->currentIndex(), AuxSourceOff);
    EXPECT_FALSE(form.Group("rgTriggerLevel")->isEnabled());

    form.Form().Select(Selection::CaInput, 0);
    EXPECT_TRUE(aux1->isEnabled());
    EXPECT_EQ(aux1->currentIndex(), AuxSourceOff) << "enabling does not restore the old source";
    EXPECT_TRUE(form.Group("rgTriggerLevel")->isEnabled());

    form.Form().Select(Selection::CaInput, CaInputCdma);
    form.Form().Select(Selection::SensorType, sensor_type::PulseTrigger);
    EXPECT_TRUE(aux1->isEnabled()) << "leaving the in-car types enables AUX 1 again";
}

TEST(SensorPanel, DoubleToothLeavesOnlyTheFirstToothEditable) {
    FormProbe form;
    form.Form().Select(Selection::SensorType, sensor_type::InCarDoubleTooth);
    EXPECT_TRUE(form.Field("edTooth1")->isEnabled());
    for (const char* name : {"edGap1", "edTooth2", "edGap2", "edTooth3", "edGap3"}) {
        EXPECT_FALSE(form.Field(name)->isEnabled()) << name;
        EXPECT_FALSE(form.Field(name)->isHidden()) << name;
    }
    for (QLabel* label : form.Control<QGroupBox>("gbTeeth")->findChildren<QLabel*>())
        EXPECT_EQ(label->isEnabled(), label->text() == "Tooth 1") << label->text().toStdString();

    form.Form().Select(Selection::SensorType, sensor_type::InCarWithGaps);
    for (const char* name : {"edTooth1", "edGap1", "edTooth2", "edGap2", "edTooth3", "edGap3"})
        EXPECT_TRUE(form.Field(name)->isEnabled()) << name;
}

TEST(SensorPanel, SelectingTheCurrentItemRunsNoHandler) {
    FormProbe form;
    form.Form().Select(Selection::SensorType, sensor_type::InCarWithGaps);
    form.Form().Select(Selection::CaInput, CaInputCdma);
    // Re-selecting the current CA input must not run the presentation rules again: the
    // operator's AUX 1 source set meanwhile stays.
    auto* aux1 = form.Control<QComboBox>("cmbAux1");
    form.Form().Select(Selection::Aux1Source, 2);
    form.Form().Select(Selection::CaInput, CaInputCdma);
    EXPECT_EQ(aux1->currentIndex(), 2);
    form.Form().Select(Selection::CaInput, 0);
    form.Form().Select(Selection::CaInput, CaInputCdma);
    EXPECT_EQ(aux1->currentIndex(), AuxSourceOff);
}

TEST(SensorPanel, PositionsBeyondTheListSelectTheLastItem) {
    FormProbe form;
    form.Form().Select(Selection::InputFilter, 12);
    EXPECT_EQ(form.Form().Selected(Selection::InputFilter), 7);
    form.Form().Select(Selection::Di6Source, 30);
    EXPECT_EQ(form.Form().Selected(Selection::Di6Source), DiSourceOff);
}

} // namespace
} // namespace kronax::test
