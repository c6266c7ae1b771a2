#include "sim/SimBoard.h"

#include <gtest/gtest.h>

#include <string>

namespace kronax::sim {
namespace {

struct Case {
    std::string line;
    std::string answer;
};

class SimBoardTest : public ::testing::Test {
protected:
    void ExpectAnswers(const std::initializer_list<Case>& cases) {
        for (const Case& c : cases)
            EXPECT_EQ(board_.Answer(c.line), c.answer) << "line \"" << c.line << "\"";
    }

    int stores_ = 0;
    bool storeWorks_ = true;
    Payloads stored_;
    SimBoard board_{StartPayloads(), [this](const Payloads& payloads) {
                        ++stores_;
                        stored_ = payloads;
                        return storeWorks_;
                    }};
};

TEST_F(SimBoardTest, QueriesReportTheWindowsStartConfiguration) {
    ExpectAnswers({{"??SMSEN", "!SM010100000000\r"},
                   {"??SMCDM", "!SM0001\r"},
                   {"??SMABV", "!SM0000\r"},
                   {"??SMTDF", "!SM0001\r"},
                   {"??SMMOD", "!SM00000\r"},
                   {"??SMMUX", "!SM00880\r"}});
}

TEST_F(SimBoardTest, AcceptedWritesAreStoredInUpperCaseAndReportedBack) {
    ExpectAnswers({{"##SMSENabcdef012345", "!SMACK\r"},
                   {"??SMSEN", "!SMABCDEF012345\r"},
                   {"##SMMUX12F0A", "!SMACK\r"},
                   {"??SMMUX", "!SM12F0A\r"}});
}

TEST_F(SimBoardTest, WriteWithWrongLengthOrNonHexDigitIsRefusedAndChangesNothing) {
    ExpectAnswers({{"##SMCDM123", "!SMNCK\r"},
                   {"##SMCDM12345", "!SMNCK\r"},
                   {"##SMCDM12G4", "!SMNCK\r"},
                   {"##SMCDM 123", "!SMNCK\r"},
                   {"##SMCDM", "!SMNCK\r"},
                   {"##SMMOD1234", "!SMNCK\r"},
                   {"??SMCDM", "!SM0001\r"}});
}

TEST_F(SimBoardTest, UnknownOrMalformedCommandsAreRefused) {
    ExpectAnswers({{"??SMXYZ", "!SMNCK\r"},
                   {"??SMSENX", "!SMNCK\r"},
                   {"##SMSTAX", "!SMNCK\r"},
                   {"SMSTA", "!SMNCK\r"},
                   {"##SM", "!SMNCK\r"},
                   {"??sMSTA", "!SMNCK\r"}});
}

TEST_F(SimBoardTest, StartCommandMakesStatusShowRunning) {
    ExpectAnswers(
        {{"??SMSTA", "!SMSTOPPED\r"}, {"##SMSTA", "!SMACK\r"}, {"??SMSTA", "!SMRUNNING\r"}});
    EXPECT_TRUE(board_.Running());
}

TEST_F(SimBoardTest, IdentityHasFourFieldsOfFourCharactersBeforeTheCr) {
    EXPECT_EQ(board_.Answer("??SMSETB"), "!SM0815P1.2F2.1U1.7\r");
    SimBoard other(StartPayloads(), [](const Payloads&) { return true; }, {.serialNumber = "4711"});
    EXPECT_EQ(other.Answer("??SMSETB"), "!SM4711P1.2F2.1U1.7\r");
}

TEST_F(SimBoardTest, PowerOnDefaultStoresTheCurrentConfigurationAndRefusesWhenStoringFails) {
    board_.Answer("##SMCDM00FF");
    EXPECT_EQ(board_.Answer("##SMSETP"), "!SMACK\r");
    EXPECT_EQ(stored_[1], "00FF");
    storeWorks_ = false;
    EXPECT_EQ(board_.Answer("##SMSETP"), "!SMNCK\r");
    EXPECT_EQ(stores_, 2);
}

} // namespace
} // namespace kronax::sim
