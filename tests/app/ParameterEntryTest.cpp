#include "app/WindowLook.h"
#include "tests/app/FormProbe.h"

#include <gtest/gtest.h>

#include <QPalette>

namespace kronax::test {
namespace {

const QColor White(255, 255, 255);
const QColor Red = InvalidFieldRed;

QColor Colour(const EntryField* field) {
    return field->palette().color(QPalette::Base);
}

// The counts field accepts exactly up to limit.
void ExpectCountsLimit(FormProbe& form, int limit) {
    form.Type("edCntPerRev", QString::number(limit));
    EXPECT_EQ(Colour(form.Field("edCntPerRev")), White) << limit;
    EXPECT_EQ(form.Form().Configuration().CountsPerRev, limit);
    form.Type("edCntPerRev", QString::number(limit + 1));
    EXPECT_EQ(Colour(form.Field("edCntPerRev")), Red) << limit + 1;
    EXPECT_EQ(form.Form().Configuration().CountsPerRev, limit) << "an invalid text keeps the value";
}

TEST(ParameterEntry, StartValuesAreShownAndValid) {
    FormProbe form;
    const DeviceConfiguration start;
    EXPECT_EQ(form.Form().Configuration(), start);
    EXPECT_EQ(start.CountsPerRev, 1);
    EXPECT_EQ(form.Field("edCntPerRev")->text(), "1");
    EXPECT_EQ(form.Field("edDevider")->text(), "1");
    EXPECT_EQ(Colour(form.Field("edMultiplier")), White);
    EXPECT_FALSE(form.Field("edAlpha")->isEnabled());
    EXPECT_FALSE(form.Field("edBeta")->isEnabled());
}

TEST(ParameterEntry, FieldsWhoseTextNeverChangedKeepTheNormalColour) {
    FormProbe form;
    // Tooth 3 and Gap 3 already show "0" before start-up writes their start value.
    EXPECT_FALSE(form.Field("edTooth3")->testAttribute(Qt::WA_SetPalette));
    EXPECT_FALSE(form.Field("edGap3")->testAttribute(Qt::WA_SetPalette));
    EXPECT_TRUE(form.Field("edTooth2")->testAttribute(Qt::WA_SetPalette));
}

TEST(ParameterEntry, EachFieldStoresIntoItsOwnValueAndRedKeepsTheLastValid) {
    const struct {
        const char* field;
        const char* text;
        bool valid;
        std::uint8_t DeviceConfiguration::*member;
        int stored;
    } cases[] = {
        {"edTooth1", "$7F", true, &DeviceConfiguration::Tooth1, 127},
        {"edTooth1", "128", false, &DeviceConfiguration::Tooth1, 127},
        {"edTooth1", "", false, &DeviceConfiguration::Tooth1, 127},
        {"edTooth3", "127", true, &DeviceConfiguration::Tooth3, 127},
        {"edGap3", "15", false, &DeviceConfiguration::Gap3, 0},
        {"edGap1", "14", true, &DeviceConfiguration::Gap1, 14},
        {"edGap1", "15", false, &DeviceConfiguration::Gap1, 14},
        {"edGap2", "0", true, &DeviceConfiguration::Gap2, 0},
        {"edTooth2", "0", true, &DeviceConfiguration::Tooth2, 0},
        {"edDevider", "0", false, &DeviceConfiguration::Divider, 1},
        {"edDevider", "256", false, &DeviceConfiguration::Divider, 1},
        {"edAlpha", "16", false, &DeviceConfiguration::Alpha, 0},
        {"edBeta", "255", true, &DeviceConfiguration::Beta, 255},
        {"edBeta", "256", false, &DeviceConfiguration::Beta, 255},
    };
    FormProbe form;
    for (const auto& c : cases) {
        form.Type(c.field, c.text);
        EXPECT_EQ(Colour(form.Field(c.field)), c.valid ? White : Red)
            << c.field << " \"" << c.text << "\"";
        EXPECT_EQ(form.Form().Configuration().*c.member, c.stored)
            << c.field << " \"" << c.text << "\"";
    }
}

TEST(ParameterEntry, CountsLimitFollowsEncoderModeAndEdges) {
    FormProbe form;
    ExpectCountsLimit(form, 7200);
    form.Form().Select(Selection::EncoderMode, 2);
    ExpectCountsLimit(form, 1800);
    form.Form().Select(Selection::EdgeAB, EdgeABBoth);
    ExpectCountsLimit(form, 3600);
    form.Form().Select(Selection::EncoderMode, 1);
    ExpectCountsLimit(form, 3600);
}

TEST(ParameterEntry, TheLastChangedOfModeAndEdgesSetsTheLimit) {
    FormProbe form;
    form.Form().Select(Selection::EdgeAB, EdgeABBoth);
    form.Form().Select(Selection::EncoderMode, 2);
    ExpectCountsLimit(form, 1800);

    FormProbe other;
    other.Form().Select(Selection::EncoderMode, 2);
    other.Form().Select(Selection::EdgeAB, EdgeABBoth);
    ExpectCountsLimit(other, 3600);
}

TEST(ParameterEntry, AlphaBetaEditableOnlyWithMultiplierAndSmallCounts) {
    FormProbe form;
    auto editable = [&form] {
        EXPECT_EQ(form.Field("edAlpha")->isEnabled(), form.Field("edBeta")->isEnabled());
        return form.Field("edAlpha")->isEnabled();
    };
    form.Type("edCntPerRev", "1800");
    EXPECT_FALSE(editable()) << "multiplier 0";
    form.Type("edMultiplier", "1");
    EXPECT_TRUE(editable());
    form.Type("edCntPerRev", "1801");
    EXPECT_FALSE(editable());
    form.Type("edMultiplier", "300");
    EXPECT_FALSE(editable()) << "an invalid multiplier changes nothing";
    form.Type("edMultiplier", "1");
    EXPECT_FALSE(editable());
    form.Form().Select(Selection::EncoderMode, 1);
    EXPECT_TRUE(editable()) << "x2 allows 3600 counts";
    form.Form().Select(Selection::EncoderMode, 2);
    form.Type("edCntPerRev", "1800");
    EXPECT_TRUE(editable());
    form.Type("edMultiplier", "0");
    EXPECT_FALSE(editable());
}

TEST(ParameterEntry, CountsBeyondANewLimitStayStoredAndLeaveAlphaBetaAlone) {
    FormProbe form;
    form.Type("edMultiplier", "1");
    form.Type("edCntPerRev", "5000");
    EXPECT_FALSE(form.Field("edAlpha")->isEnabled());

    form.Form().Select(Selection::EncoderMode, 2);
    EXPECT_EQ(Colour(form.Field("edCntPerRev")), Red);
    EXPECT_EQ(form.Form().Configuration().CountsPerRev, 5000);
    EXPECT_FALSE(form.Field("edAlpha")->isEnabled()) << "the multiplier rule must not run";
}

TEST(ParameterEntry, StoredNumberOutsideTheRangeIsKeptAndShownRed) {
    FormProbe form;
    form.Form().StoreNumber(NumberField::Gap2, 20);
    EXPECT_EQ(form.Form().Configuration().Gap2, 20);
    EXPECT_EQ(form.Field("edGap2")->text(), "20");
    EXPECT_EQ(Colour(form.Field("edGap2")), Red);

    form.Form().StoreNumber(NumberField::Multiplier, 4);
    EXPECT_TRUE(form.Field("edAlpha")->isEnabled()) << "the stored text runs the field's rule";
}

TEST(ParameterEntry, StoringTheShownValueRunsNoRule) {
    FormProbe form;
    form.Form().StoreNumber(NumberField::Tooth3, 0);
    EXPECT_FALSE(form.Field("edTooth3")->testAttribute(Qt::WA_SetPalette));
}

} // namespace
} // namespace kronax::test
