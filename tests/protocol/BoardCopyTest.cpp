#include "protocol/BoardCopy.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kronax {
namespace {

TransferReport OneStep(Transfer transfer, PayloadKind kind, StepOutcome outcome,
                       const std::string& payload) {
    return {transfer, {{kind, outcome, "", "", payload}}};
}

// The window named settings as unwritten from keystrokes, or named none after a board told it
// what it held.
TEST(BoardCopyTest, NamesTheSettingsThatDifferFromWhatTheBoardLastAcknowledgedOrReported) {
    const auto multiplier7 = [](ConfigurationSnapshot& shown) {
        shown.configuration.Multiplier = 7;
    };
    const struct {
        const char* what;
        std::vector<TransferReport> reports;
        std::function<void(ConfigurationSnapshot&)> edit;
        std::vector<Setting> expected;
    } cases[] = {
        {"start values, nothing told", {}, [](ConfigurationSnapshot&) {}, {}},
        {"multiplier edited", {}, multiplier7, {NumberField::Multiplier}},
        {"sensor type edited",
         {},
         [](ConfigurationSnapshot& shown) {
             shown.Selected(Selection::SensorType) = sensor_type::PulseTrigger;
         },
         {Selection::SensorType}},
        {"the edit acknowledged",
         {OneStep(Transfer::WriteToBoard, PayloadKind::TDF, StepOutcome::Acknowledged, "0701")},
         multiplier7,
         {}},
        {"the edit refused",
         {OneStep(Transfer::WriteToBoard, PayloadKind::TDF, StepOutcome::NotAcknowledged, "0701")},
         multiplier7,
         {NumberField::Multiplier}},
        {"the board reported it",
         {OneStep(Transfer::ReadFromBoard, PayloadKind::TDF, StepOutcome::Received, "0701")},
         multiplier7,
         {}},
        {"a file is not the board",
         {OneStep(Transfer::ReadFromFile, PayloadKind::TDF, StepOutcome::Received, "0701")},
         multiplier7,
         {NumberField::Multiplier}},
        {"the board reported divider 9, the window shows the start value",
         {OneStep(Transfer::ReadFromBoard, PayloadKind::TDF, StepOutcome::Received, "0009")},
         [](ConfigurationSnapshot&) {},
         {NumberField::Divider}},
    };
    for (const auto& c : cases) {
        BoardCopy board;
        for (const TransferReport& report : c.reports)
            board.Take(report);
        ConfigurationSnapshot shown = StartSnapshot();
        c.edit(shown);
        EXPECT_EQ(board.Differences(shown), c.expected) << c.what;
    }
}

} // namespace
} // namespace kronax
