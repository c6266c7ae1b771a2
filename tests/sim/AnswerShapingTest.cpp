#include "sim/AnswerShaping.h"

#include <gtest/gtest.h>

namespace kronax::sim {
namespace {

std::string Joined(const std::vector<AnswerPiece>& pieces) {
    std::string text;
    for (const AnswerPiece& piece : pieces)
        text += piece.text;
    return text;
}

TEST(ShapeAnswer, WithoutFaultsSendsTheAnswerAtOnceInOnePiece) {
    const auto pieces = ShapeAnswer("??SMCDM", "!SM0001\r", {});
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].pauseMs, 0);
    EXPECT_EQ(pieces[0].text, "!SM0001\r");
}

TEST(ShapeAnswer, SilentBoardSendsNothing) {
    FaultOptions faults;
    faults.silent = true;
    EXPECT_TRUE(ShapeAnswer("##SMSTA", "!SMACK\r", faults).empty());
}

TEST(ShapeAnswer, IgnoredCommandAloneGetsNoAnswerWhateverOtherFaultsSay) {
    FaultOptions faults;
    faults.ignored = {"??SMMOD"};
    faults.refused = {"??SMMOD"};
    faults.garbage = true;
    EXPECT_TRUE(ShapeAnswer("??SMMOD", "!SM00000\r", faults).empty());
    EXPECT_EQ(Joined(ShapeAnswer("??SMMUX", "!SM00880\r", faults)), GarbageLine);
    EXPECT_EQ(Joined(ShapeAnswer("##SMMOD00000", "!SMACK\r", faults)), GarbageLine);
}

TEST(ShapeAnswer, ContentFaultsReplaceOrExtendTheAnswer) {
    FaultOptions refuse;
    refuse.refused = {"##SMSEN", "??SMSTA"};
    FaultOptions garbage;
    garbage.garbage = true;
    FaultOptions crLf;
    crLf.crLf = true;
    struct Case {
        const FaultOptions& faults;
        std::string command;
        std::string expected;
    };
    const Case cases[] = {
        {refuse, "##SMSEN010100000000", "!SMNCK\r"}, {refuse, "??SMSTA", "!SMNCK\r"},
        {refuse, "??SMSEN", "!SM010100000000\r"},    {garbage, "??SMSEN", GarbageLine},
        {crLf, "??SMSEN", "!SM010100000000\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Joined(ShapeAnswer(c.command, "!SM010100000000\r", c.faults)), c.expected)
            << c.command;
}

TEST(ShapeAnswer, SplitAnswerKeepsEveryCharacterAndPausesBetweenPieces) {
    FaultOptions faults;
    faults.splitSize = 3;
    faults.splitPauseMs = 40;
    faults.delayMs = 7;
    const auto pieces = ShapeAnswer("??SMCDM", "!SM0001\r", faults);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(Joined(pieces), "!SM0001\r");
    EXPECT_EQ(pieces[0].pauseMs, 7);
    EXPECT_EQ(pieces[1].pauseMs, 40);
    EXPECT_EQ(pieces[2].pauseMs, 40);
}

TEST(ShapeAnswer, LateAnswerWaitsBeyondTheCommandsOwnTimeOut) {
    FaultOptions faults;
    faults.late = true;
    EXPECT_GT(ShapeAnswer("??SMSETB", "!SM\r", faults)[0].pauseMs, 500);
    EXPECT_GT(ShapeAnswer("##SMSTA", "!SMACK\r", faults)[0].pauseMs, 1000);
    EXPECT_GT(ShapeAnswer("??SMSEN", "!SM\r", faults)[0].pauseMs, 1000);
}

TEST(ShapeAnswer, LateCommandDelaysOnlyTheCommandsItNames) {
    FaultOptions faults;
    faults.delayMs = 10;
    faults.lateCommands = {{"##SMSTA", 1300}, {"##SM", 50}};
    EXPECT_EQ(ShapeAnswer("##SMSTA", "!SMACK\r", faults)[0].pauseMs, 1310);
    EXPECT_EQ(ShapeAnswer("##SMSETP", "!SMACK\r", faults)[0].pauseMs, 60);
    EXPECT_EQ(ShapeAnswer("??SMSTA", "!SM\r", faults)[0].pauseMs, 10);
}

} // namespace
} // namespace kronax::sim
