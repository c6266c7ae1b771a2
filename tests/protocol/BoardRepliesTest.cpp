#include "protocol/BoardReplies.h"
#include "protocol/OutcomeText.h"

#include <gtest/gtest.h>

#include <string>

namespace kronax {
namespace {

struct Case {
    bool answered;
    std::string reply;
    std::string expected;
    // Whether a front end takes the command as done.
    bool succeeded = false;
};

// The text the renderer shows for each classified reply, and whether it counts as done.
void ExpectAll(BoardCommand command, const std::initializer_list<Case>& cases) {
    for (const Case& c : cases) {
        const CommandResult result = ClassifyReply(command, c.answered, c.reply);
        EXPECT_EQ(CommandOutcomeText(result), c.expected)
            << "answered " << c.answered << ", reply \"" << c.reply << "\"";
        EXPECT_EQ(result.Succeeded(), c.succeeded) << c.expected;
    }
}

TEST(StartOutcome, ClassifiesTimeoutAcceptanceRefusalAndShowsOtherRepliesUnchanged) {
    ExpectAll(BoardCommand::Start, {{false, "", "Start timeout."},
                                    {false, "!SMACK", "Start timeout."},
                                    {true, "!SMACK\r", "Start aknowledged.", true},
                                    {true, "!SMNCK\r", "Start NOT acknowledged."},
                                    {true, "!SMNCK!SMACK\r", "Start aknowledged.", true},
                                    {true, "xx!SMNCK\r\n", "Start NOT acknowledged."},
                                    {true, "BUSY\r", "BUSY\r"},
                                    {true, "Start aknowledged.\r", "Start aknowledged.\r"}});
}

TEST(PowerOnDefaultOutcome, UsesItsOwnTextsWithTheSameRules) {
    ExpectAll(BoardCommand::PowerOnDefault,
              {{false, "", "Setting power on defaults timeout."},
               {true, "!SMACK\r", "Setting power on defaults aknowledged.", true},
               {true, "!SMNCK\r", "Setting power on defaults NOT acknowledged."},
               {true, "?\r", "?\r"}});
}

TEST(StatusOutcome, TakesNineCharactersAfterTheFirstMarkerUnchanged) {
    ExpectAll(BoardCommand::Status, {{false, "!SM123456789\r", "Status: request timeout."},
                                     {true, "!SM123456789\r", "Status: 123456789", true},
                                     {true, "!SMACK\r", "Status: ACK\r", true},
                                     {true, "x!SMAB\r!SMCD", "Status: AB\r!SMCD", true},
                                     {true, "!SM\r", "Status: \r", true},
                                     {true, "OK\r", "Status: unknown."},
                                     {true, "unknown.\r", "Status: unknown."}});
}

std::string Info(const std::string& serial, const std::string& pcb, const std::string& fpga,
                 const std::string& micro) {
    return "Board Information:\r\nSerial number: " + serial + "\r\nPCB Version: " + pcb +
           "\r\nFPGA Version: " + fpga +
           "\r\n\xB5"
           "C Version: " +
           micro;
}

TEST(BoardInformation, TakesTheSixteenCharactersBeforeTheFirstCr) {
    ExpectAll(
        BoardCommand::BoardInformation,
        {{true, "!SMaaaabbbbccccdddd\r", Info("aaaa", "bbbb", "cccc", "dddd"), true},
         {true, "aaaabbbbccccdddd\rzzzzyyyyxxxxwwww\r", Info("aaaa", "bbbb", "cccc", "dddd"), true},
         {false, "!SMaaaabbbbccccdddd", Info("", "", "", "")},
         {false, "", Info("", "", "", "")}});
}

TEST(BoardInformation, ShortReplyClampsFieldsToItsFirstCharacter) {
    ExpectAll(BoardCommand::BoardInformation,
              {{true, "12345678\r", Info("1234", "1234", "1234", "5678"), true},
               {true, "123456789ABC\r", Info("1234", "1234", "5678", "9ABC"), true},
               {true, "AB\r", Info("AB\r", "AB\r", "AB\r", "AB\r"), true},
               {true, "\r", Info("\r", "\r", "\r", "\r"), true}});
}

TEST(BoardInformation, MicroSignIsTheSingleByteB5) {
    const std::string text =
        CommandOutcomeText(ClassifyReply(BoardCommand::BoardInformation, false, ""));
    EXPECT_NE(text.find("\r\n\xB5"
                        "C Version: "),
              std::string::npos);
    EXPECT_EQ(text.find("\xC2"), std::string::npos);
    EXPECT_NE(text.back(), '\n');
}

TEST(MessageExpired, ExpiresOnlyAfterMoreThan3000msAlsoAcrossACounterWrap) {
    struct ExpiryCase {
        std::uint32_t stamp;
        std::uint32_t now;
        bool expired;
    };
    const ExpiryCase cases[] = {
        {0, 0, false},
        {1000, 4000, false},
        {1000, 4001, true},
        // Stamp shortly before the wrap: stamp + 3000 wraps to a small number, so comparing the
        // tick with that sum would clear the text at once.
        {0xFFFFFF00u, 0xFFFFFF01u, false},
        {0xFFFFFF00u, 0x00000100u, false},
        {0xFFFFFF00u, 0x00000AB8u, false},
        {0xFFFFFF00u, 0x00000AB9u, true},
        // Tick shortly before the wrap, stamp far back: the sum lies beyond the wrap too.
        {0xFFFFF000u, 0xFFFFFFFFu, true},
    };
    for (const ExpiryCase& c : cases)
        EXPECT_EQ(MessageExpired(c.now, c.stamp), c.expired) << c.stamp << " -> " << c.now;
}

} // namespace
} // namespace kronax
