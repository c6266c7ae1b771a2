#include "exchange/SteadyTickSource.h"
#include "form/KronaxConfigForm.h"
#include "tests/form/FakeFormView.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kronax::test {
namespace {

// The form on a fake view, before its start-up read: no port is opened.
class EntryRulesTest : public testing::Test {
protected:
    EntryRulesTest()
        : form(view,
               FormEnvironment{
                   (std::filesystem::temp_directory_path() / "kronax-entry-rules.ini").string(),
                   std::make_shared<SteadyTickSource>()}) {}

    void Type(ControlId field, const std::string& text) { form.FieldEdited(field, text); }
    bool Valid(ControlId field) { return view[field].valid; }
    bool Enabled(ControlId field) { return view[field].enabled; }

    // The counts field accepts exactly up to limit.
    void ExpectCountsLimit(int limit) {
        Type(ControlId::edCntPerRev, std::to_string(limit));
        EXPECT_TRUE(Valid(ControlId::edCntPerRev)) << limit;
        EXPECT_EQ(form.Configuration().CountsPerRev, limit);
        Type(ControlId::edCntPerRev, std::to_string(limit + 1));
        EXPECT_FALSE(Valid(ControlId::edCntPerRev)) << limit + 1;
        EXPECT_EQ(form.Configuration().CountsPerRev, limit) << "an invalid text keeps the value";
    }

    FakeFormView view;
    TForm1 form;
};

TEST_F(EntryRulesTest, StartValuesAreShownAndValid) {
    EXPECT_EQ(form.Configuration(), DeviceConfiguration());
    EXPECT_EQ(form.Configuration().CountsPerRev, 1);
    EXPECT_EQ(form.Configuration().Divider, 1);
    EXPECT_EQ(view[ControlId::edCntPerRev].text, "1");
    EXPECT_EQ(view[ControlId::edDevider].text, "1");
    EXPECT_TRUE(Valid(ControlId::edMultiplier));
    EXPECT_FALSE(Enabled(ControlId::edAlpha));
    EXPECT_FALSE(Enabled(ControlId::edBeta));
}

TEST_F(EntryRulesTest, FieldsWhoseTextNeverChangedKeepTheNormalColour) {
    // Tooth 3 and Gap 3 already show "0" before start-up writes their start value.
    EXPECT_EQ(view[ControlId::edTooth3].validSets, 0);
    EXPECT_EQ(view[ControlId::edGap3].validSets, 0);
    EXPECT_GT(view[ControlId::edTooth2].validSets, 0);
    form.StoreNumber(NumberField::Tooth3, 0);
    EXPECT_EQ(view[ControlId::edTooth3].validSets, 0) << "storing the shown value runs no rule";
}

TEST_F(EntryRulesTest, EachFieldStoresIntoItsOwnValueAndRedKeepsTheLastValid) {
    using C = ControlId;
    const struct {
        ControlId field;
        const char* text;
        bool valid;
        std::uint8_t DeviceConfiguration::*member;
        int stored;
    } cases[] = {
        {C::edTooth1, "$7F", true, &DeviceConfiguration::Tooth1, 127},
        {C::edTooth1, "128", false, &DeviceConfiguration::Tooth1, 127},
        {C::edTooth1, "", false, &DeviceConfiguration::Tooth1, 127},
        {C::edTooth3, "127", true, &DeviceConfiguration::Tooth3, 127},
        {C::edGap3, "15", false, &DeviceConfiguration::Gap3, 0},
        {C::edGap1, "14", true, &DeviceConfiguration::Gap1, 14},
        {C::edGap1, "15", false, &DeviceConfiguration::Gap1, 14},
        {C::edGap2, "0", true, &DeviceConfiguration::Gap2, 0},
        {C::edTooth2, "0", true, &DeviceConfiguration::Tooth2, 0},
        {C::edDevider, "0", false, &DeviceConfiguration::Divider, 1},
        {C::edDevider, "256", false, &DeviceConfiguration::Divider, 1},
        {C::edAlpha, "16", false, &DeviceConfiguration::Alpha, 0},
        {C::edBeta, "255", true, &DeviceConfiguration::Beta, 255},
        {C::edBeta, "256", false, &DeviceConfiguration::Beta, 255},
    };
    for (const auto& c : cases) {
        Type(c.field, c.text);
        EXPECT_EQ(Valid(c.field), c.valid) << DesignOf(c.field).name << " \"" << c.text << "\"";
        EXPECT_EQ(form.Configuration().*c.member, c.stored)
            << DesignOf(c.field).name << " \"" << c.text << "\"";
    }
}

TEST_F(EntryRulesTest, CountsLimitFollowsEncoderModeAndEdges) {
    ExpectCountsLimit(7200);
    form.Select(Selection::EncoderMode, 2);
    ExpectCountsLimit(1800);
    form.Select(Selection::EdgeAB, EdgeABBoth);
    ExpectCountsLimit(3600);
    form.Select(Selection::EncoderMode, 1);
    ExpectCountsLimit(3600);
}

TEST_F(EntryRulesTest, TheLastChangedOfModeAndEdgesSetsTheLimit) {
    form.Select(Selection::EdgeAB, EdgeABBoth);
    form.Select(Selection::EncoderMode, 2);
    ExpectCountsLimit(1800);
    form.Select(Selection::EdgeAB, 0);
    form.Select(Selection::EdgeAB, EdgeABBoth);
    ExpectCountsLimit(3600);
}

TEST_F(EntryRulesTest, AlphaBetaEditableOnlyWithMultiplierAndSmallCounts) {
    auto editable = [this] {
        EXPECT_EQ(Enabled(ControlId::edAlpha), Enabled(ControlId::edBeta));
        return Enabled(ControlId::edAlpha);
    };
    Type(ControlId::edCntPerRev, "1800");
    EXPECT_FALSE(editable()) << "multiplier 0";
    Type(ControlId::edMultiplier, "1");
    EXPECT_TRUE(editable());
    Type(ControlId::edCntPerRev, "1801");
    EXPECT_FALSE(editable());
    Type(ControlId::edMultiplier, "300");
    EXPECT_FALSE(editable()) << "an invalid multiplier changes nothing";
    Type(ControlId::edMultiplier, "1");
    EXPECT_FALSE(editable());
    form.Select(Selection::EncoderMode, 1);
    EXPECT_TRUE(editable()) << "x2 allows 3600 counts";
    form.Select(Selection::EncoderMode, 2);
    Type(ControlId::edCntPerRev, "1800");
    EXPECT_TRUE(editable());
    Type(ControlId::edMultiplier, "0");
    EXPECT_FALSE(editable());
}

TEST_F(EntryRulesTest, CountsBeyondANewLimitStayStoredAndLeaveAlphaBetaAlone) {
    Type(ControlId::edMultiplier, "1");
    Type(ControlId::edCntPerRev, "5000");
    EXPECT_FALSE(Enabled(ControlId::edAlpha));
    form.Select(Selection::EncoderMode, 2);
    EXPECT_FALSE(Valid(ControlId::edCntPerRev));
    EXPECT_EQ(form.Configuration().CountsPerRev, 5000);
    EXPECT_FALSE(Enabled(ControlId::edAlpha)) << "the multiplier rule must not run";
}

TEST_F(EntryRulesTest, StoredNumberOutsideTheRangeIsKeptAndShownRed) {
    form.StoreNumber(NumberField::Gap2, 20);
    EXPECT_EQ(form.Configuration().Gap2, 20);
    EXPECT_EQ(view[ControlId::edGap2].text, "20");
    EXPECT_FALSE(Valid(ControlId::edGap2));
    form.StoreNumber(NumberField::Multiplier, 4);
    EXPECT_TRUE(Enabled(ControlId::edAlpha)) << "the stored text runs the field's rule";
}

} // namespace
} // namespace kronax::test
