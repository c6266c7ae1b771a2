#include "link/CommandTransaction.h"
#include "tests/fakes/FakeCommandPort.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

namespace kronax {
namespace {

using test::FakeCommandPort;
using test::FakeTick;
using test::FakeTrafficLog;
using ::testing::ElementsAre;

struct Exchange {
    FakeCommandPort port;
    FakeTrafficLog log;
    std::string reply = "left over";

    bool Run(const FakeTick& tick, std::int32_t timeout, const std::string& command = "##SMSTA\r") {
        TCommandTransaction transaction(port, tick, log);
        return transaction.TransactCommand(command, reply, timeout);
    }
};

TEST(TransactCommand, ClosedPortSendsNothingLogsNothingAndEmptiesReply) {
    Exchange x;
    x.port.connected = false;
    EXPECT_FALSE(x.Run(FakeTick({0}), 1000));
    EXPECT_EQ(x.reply, "");
    EXPECT_TRUE(x.port.calls.empty());
    EXPECT_TRUE(x.log.lines.empty());
}

TEST(TransactCommand, PurgesBothQueuesBeforeWritingAndReadsAfterwards) {
    Exchange x;
    x.port.arrivals = {"!SMACK\r"};
    EXPECT_TRUE(x.Run(FakeTick({0}), 1000));
    EXPECT_THAT(x.port.calls, ElementsAre("purge inout", "write ##SMSTA\r", "read"));
}

TEST(TransactCommand, StaleBytesBeforeTheCommandNeverReachReplyOrLog) {
    Exchange x;
    x.port.queue = "!SMNCK\r";
    x.port.arrivals = {"!SMACK\r"};
    EXPECT_TRUE(x.Run(FakeTick({0}), 1000));
    EXPECT_EQ(x.reply, "!SMACK\r");
    EXPECT_THAT(x.log.lines, ElementsAre("##SMSTA\\r | !SMACK\\r"));
}

TEST(TransactCommand, AnswerArrivingInPiecesIsCollectedWhole) {
    Exchange x;
    x.port.arrivals = {"!SM", "", "", "ACK\r"};
    EXPECT_TRUE(x.Run(FakeTick({0}), 1000));
    EXPECT_EQ(x.reply, "!SMACK\r");
    EXPECT_EQ(x.port.reads, 4);
}

TEST(TransactCommand, CharactersAfterTheCrInTheSameReadAreKeptAndLogged) {
    Exchange x;
    x.port.arrivals = {"!SM0001\r\n!SMXY"};
    EXPECT_TRUE(x.Run(FakeTick({0}), 1000, "??SMCDM\r"));
    EXPECT_EQ(x.reply, "!SM0001\r\n!SMXY");
    EXPECT_THAT(x.log.lines, ElementsAre("??SMCDM\\r | !SM0001\\r\n!SMXY"));
}

TEST(TransactCommand, NoCrWithinTimeOutGivesFalseAndLogsThePartialReply) {
    Exchange x;
    x.port.arrivals = {"!SM"};
    // Start at 0, one millisecond per reading: readings 1..10 are not past the time-out (equal
    // repeats), reading 11 is.
    EXPECT_FALSE(x.Run(FakeTick({0}, 1), 10));
    EXPECT_EQ(x.reply, "!SM");
    EXPECT_EQ(x.port.reads, 11);
    EXPECT_THAT(x.log.lines, ElementsAre("##SMSTA\\r | !SM"));
}

TEST(TransactCommand, SilentBoardLogsLineEndingAfterTheBar) {
    Exchange x;
    EXPECT_FALSE(x.Run(FakeTick({0}, 100), 1000));
    EXPECT_EQ(x.reply, "");
    EXPECT_THAT(x.log.lines, ElementsAre("##SMSTA\\r | "));
}

TEST(TransactCommand, AnswerCompletedByTheReadDuringWhichTheTimeOutRanOutCounts) {
    Exchange x;
    x.port.arrivals = {"!SMA", "CK\r"};
    EXPECT_TRUE(x.Run(FakeTick({0, 5, 5000}), 10));
    EXPECT_EQ(x.reply, "!SMACK\r");
}

TEST(TransactCommand, ZeroAndNegativeTimeOutsStillReadOnceAndEndAsTheTickMovesOn) {
    struct Case {
        std::int32_t timeout;
        std::vector<std::uint32_t> ticks;
        int reads;
    };
    const Case cases[] = {
        {0, {100, 100, 100, 101}, 3},
        {-1, {100, 100}, 1},
        {std::numeric_limits<std::int32_t>::min(), {100, 100}, 1},
    };
    for (const Case& c : cases) {
        Exchange x;
        EXPECT_FALSE(x.Run(FakeTick(c.ticks, 0), c.timeout));
        EXPECT_EQ(x.port.reads, c.reads) << "timeout " << c.timeout;
    }
}

TEST(TransactCommand, WrapOfTheTickCounterNeitherShortensNorLengthensTheWait) {
    for (std::uint32_t start : {0u, 0xFFFFFFF0u, 0xFFFFFFFFu, 0x7FFFFFFFu}) {
        Exchange x;
        EXPECT_FALSE(x.Run(FakeTick({start}, 1), 100));
        EXPECT_EQ(x.port.reads, 101) << "start " << start;
    }
}

TEST(TransactCommand, ElapsedTimeBeyondTwoToThe31IsNotTakenAsNegative) {
    Exchange x;
    x.port.arrivals = {"", "!SMACK\r"};
    EXPECT_FALSE(x.Run(FakeTick({0, 0x80000000u}), 0x7FFFFFFF));
    EXPECT_EQ(x.port.reads, 1);
}

TEST(TransactCommand, PortErrorLeavesWithoutLogLine) {
    Exchange x;
    x.port.failRead = true;
    EXPECT_THROW(x.Run(FakeTick({0}), 1000), std::runtime_error);
    EXPECT_TRUE(x.log.lines.empty());
}

TEST(TrafficLogLine, ShowsEveryCrAsBackslashRAndNothingElseChanged) {
    EXPECT_EQ(TrafficLogLine("##SMSTA\r", "!SMACK\r"), "##SMSTA\\r | !SMACK\\r");
    EXPECT_EQ(TrafficLogLine("a\rb\r", "\r\r\n\t|"), "a\\rb\\r | \\r\\r\n\t|");
    EXPECT_EQ(TrafficLogLine("", ""), " | ");
}

} // namespace
} // namespace kronax
