#include "protocol/EntryRules.h"
#include "protocol/RangeCheck.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kronax {
namespace {

struct RangeCase {
    NumberField field;
    std::string text;
    std::optional<std::int32_t> expected;
};

TEST(EntryRules, EachFieldAcceptsExactlyItsRange) {
    const RangeCase cases[] = {
        {NumberField::Tooth1, "0", std::nullopt},
        {NumberField::Tooth1, "1", 1},
        {NumberField::Tooth1, "$7F", 127},
        {NumberField::Tooth1, "0x7f", 127},
        {NumberField::Tooth1, "128", std::nullopt},
        {NumberField::Tooth2, "0", 0},
        {NumberField::Tooth3, "0", 0},
        {NumberField::Tooth3, "128", std::nullopt},
        {NumberField::Gap1, "0", std::nullopt},
        {NumberField::Gap1, "14", 14},
        {NumberField::Gap1, "15", std::nullopt},
        {NumberField::Gap2, "0", 0},
        {NumberField::Gap3, "15", std::nullopt},
        {NumberField::Multiplier, "0", 0},
        {NumberField::Multiplier, "256", std::nullopt},
        {NumberField::Divider, "0", std::nullopt},
        {NumberField::Divider, "255", 255},
        {NumberField::Divider, "256", std::nullopt},
        {NumberField::Alpha, "15", 15},
        {NumberField::Alpha, "16", std::nullopt},
        {NumberField::Beta, "255", 255},
        {NumberField::Beta, "256", std::nullopt},
        {NumberField::Beta, "-1", std::nullopt},
        {NumberField::Beta, "$FFFFFFFF", std::nullopt},
        {NumberField::CountsPerRev, "0", std::nullopt},
        {NumberField::CountsPerRev, "7200", 7200},
        {NumberField::CountsPerRev, "7201", std::nullopt},
        {NumberField::Tooth1, "   12", 12},
        {NumberField::Tooth1, "12 ", std::nullopt},
        {NumberField::Tooth1, "", std::nullopt},
    };
    for (const RangeCase& c : cases)
        EXPECT_EQ(ReadFieldValue(c.text, AcceptedValues(c.field, 7200)), c.expected)
            << "field " << static_cast<int>(c.field) << ", text \"" << c.text << "\"";
}

TEST(EntryRules, EdgeFactorTakesBothOverTheEncoderModeOnlyForEdgeChanges) {
    EXPECT_EQ(EdgeFactorOfEncoderMode(0, 4), 1);
    EXPECT_EQ(EdgeFactorOfEncoderMode(1, 4), 2);
    EXPECT_EQ(EdgeFactorOfEncoderMode(2, 1), 4);
    EXPECT_EQ(EdgeFactorOfEncoderMode(-1, 2), 2);
    EXPECT_EQ(EdgeFactorOfEdges(2, 2, 4), 2);
    EXPECT_EQ(EdgeFactorOfEdges(0, 2, 2), 4);
    EXPECT_EQ(EdgeFactorOfEdges(1, -1, 2), 2);
}

TEST(RangeCheck, AWholeConfigurationIsHeldToEveryFieldsRangeAndTheStricterCountsLimit) {
    struct Case {
        int encoderMode;
        int edgeAB;
        std::int32_t limit;
    };
    // "x4" with "both" is 1800 or 3600 in the window, by the order of the clicks.
    for (const Case& c : {Case{0, 0, 7200}, Case{1, 0, 3600}, Case{0, 2, 3600}, Case{2, 2, 1800},
                          Case{-1, -1, 7200}})
        EXPECT_EQ(CountsPerRevLimit(c.encoderMode, c.edgeAB), c.limit)
            << c.encoderMode << ", " << c.edgeAB;

    ConfigurationSnapshot snapshot = StartSnapshot();
    EXPECT_TRUE(OutOfRangeValues(snapshot).empty());
    snapshot.configuration.Divider = 0;
    snapshot.configuration.Alpha = 255;
    snapshot.configuration.CountsPerRev = 1801;
    snapshot.Selected(Selection::EncoderMode) = 2;
    const std::vector<OutOfRangeValue> expected = {{NumberField::CountsPerRev, 1801, {1, 1800}},
                                                   {NumberField::Divider, 0, {1, 255}},
                                                   {NumberField::Alpha, 255, {0, 15}}};
    EXPECT_EQ(OutOfRangeValues(snapshot), expected);
}

} // namespace
} // namespace kronax
