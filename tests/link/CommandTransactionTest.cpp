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

TEST(TransactCommand, WaitsAfterEachReadWithoutTheCrForTheTimeLeftAndAnEmptyWakeUpIsHarmless) {
    Exchange x;
    // The first read brings a piece; the first wake-up brings nothing, the second the rest.
    x.port.arrivals = {"!SM"};
    x.port.waitArrivals = {"", "ACK\r"};
    EXPECT_TRUE(x.Run(FakeTick({0, 0, 400, 600}), 1000));
    EXPECT_THAT(x.port.calls, ElementsAre("purge inout", "write ##SMSTA\r", "read", "wait 1001",
                                          "read", "wait 601", "read"));
    EXPECT_EQ(x.reply, "!SMACK\r");
}

TEST(TransactCommand, WaitNeverReachesBeyondTheTickAtWhichTheTimeOutHasPassed) {
    struct Case {
        std::int32_t timeout;
        std::uint32_t start;
        std::uint32_t now;
        std::uint32_t wait;
    };
    const Case cases[] = {
        {0, 50, 50, 1},
        {1000, 0, 1000, 1},
        {1000, 0xFFFFFF00u, 0x10u, 729},
        {std::numeric_limits<std::int32_t>::max(), 7, 7, 0x80000000u},
    };
    for (const Case& c : cases) {
        Exchange x;
        x.port.waitArrivals = {"\r"};
        EXPECT_TRUE(x.Run(FakeTick({c.start, c.now}), c.timeout));
        EXPECT_THAT(x.port.waits, ElementsAre(c.wait)) << "timeout " << c.timeout;
    }
}

TEST(TransactCommand, FloodKeepsAtMostTheBoundStillFindsALaterCrAndMarksTheLogLineAsCut) {
    const std::string thousand(1000, 'x');
    const std::string kept(MaxReplyKept, 'x');
    struct Case {
        std::string last;
        bool found;
        std::string cut;
    };
    const Case cases[] = {{"", false, " [cut: 904 more characters]"},
                          {"\r", true, " [cut: 905 more characters]"}};
    for (const Case& c : cases) {
        Exchange x;
        x.port.arrivals = {thousand, thousand, thousand, thousand, thousand, c.last};
        EXPECT_EQ(x.Run(FakeTick({0, 0, 0, 0, 0, 0, 2000}), 1000), c.found);
        EXPECT_TRUE(x.reply == kept) << "kept " << x.reply.size() << " characters";
        ASSERT_EQ(x.log.lines.size(), 1u);
        EXPECT_TRUE(x.log.lines[0] == "##SMSTA\\r | " + kept + c.cut)
            << "log line ends " << x.log.lines[0].substr(x.log.lines[0].size() - 40);
    }
}

// Two exchanges on one transaction object: the first one's outcome decides whether the second
// listens for a late answer first.
struct TwoExchanges {
    FakeCommandPort port;
    FakeTrafficLog log;
    FakeTick tick;
    TCommandTransaction transaction{port, tick, log};
    std::string reply;

    explicit TwoExchanges(std::vector<std::uint32_t> ticks) : tick(std::move(ticks), 0) {}

    bool Run(const std::string& command, std::int32_t timeout = 1000) {
        port.calls.clear();
        return transaction.TransactCommand(command, reply, timeout);
    }
};

TEST(TransactCommandAfterATimeOut, LateAnswerIsReadLoggedAsSuchAndNeverTakenForTheNextAnswer) {
    // First exchange: start 0, times out at 1001. Second: its guard reads nothing at 1001, waits
    // for the rest of the guard time, then the late answer arrives; then its own answer.
    TwoExchanges x({0, 1001, 1001, 1300, 1300, 1300});
    EXPECT_FALSE(x.Run("??SMCDM\r"));
    x.port.waitArrivals = {"!SM0064\r"};
    x.port.arrivals = {"", "", "!SM0102\r"};
    EXPECT_TRUE(x.Run("??SMABV\r"));
    EXPECT_EQ(x.reply, "!SM0102\r");
    EXPECT_THAT(x.port.calls,
                ElementsAre("read", "wait 451", "read", "purge inout", "write ??SMABV\r", "read"));
    EXPECT_THAT(x.log.lines,
                ElementsAre("??SMCDM\\r | ", "(late answer to ??SMCDM\\r discarded) | !SM0064\\r",
                            "??SMABV\\r | !SM0102\\r"));
}

TEST(TransactCommandAfterATimeOut, SilentBoardCostsAtMostTheGuardTimeAndAddsNoLogLine) {
    TwoExchanges x({0, 1001, 1001, 1452, 1452, 1452});
    EXPECT_FALSE(x.Run("??SMCDM\r"));
    x.port.arrivals = {"", "", "!SM0102\r"};
    EXPECT_TRUE(x.Run("??SMABV\r"));
    EXPECT_THAT(x.port.waits, ElementsAre(LateAnswerGuardMs + 1));
    EXPECT_THAT(x.log.lines, ElementsAre("??SMCDM\\r | ", "??SMABV\\r | !SM0102\\r"));
}

TEST(TransactCommandAfterATimeOut, AnswerQueuedLongAfterTheGuardIsReadOnceAndLoggedWithoutWait) {
    TwoExchanges x({0, 1001, 90000, 90000});
    EXPECT_FALSE(x.Run("##SMMOD00000\r"));
    x.port.queue = "!SMACK\r";
    x.port.arrivals = {"", "!SMNCK\r"};
    EXPECT_TRUE(x.Run("##SMMUX00880\r"));
    EXPECT_EQ(x.reply, "!SMNCK\r");
    EXPECT_TRUE(x.port.waits.empty());
    EXPECT_EQ(x.log.lines[1], "(late answer to ##SMMOD00000\\r discarded) | !SMACK\\r");
}

TEST(TransactCommandAfterATimeOut, HealthyExchangeOrAClosedPortLeavesNoGuardBehind) {
    TwoExchanges answered({0, 5, 5, 5});
    answered.port.arrivals = {"!SMACK\r"};
    EXPECT_TRUE(answered.Run("##SMSTA\r"));
    answered.port.arrivals = {"!SMACK\r"};
    EXPECT_TRUE(answered.Run("##SMSTA\r"));
    EXPECT_THAT(answered.port.calls, ElementsAre("purge inout", "write ##SMSTA\r", "read"));

    TwoExchanges closed({0, 1001, 1001, 1001});
    EXPECT_FALSE(closed.Run("??SMSTA\r"));
    closed.port.connected = false;
    EXPECT_FALSE(closed.Run("??SMSTA\r"));
    closed.port.connected = true;
    closed.port.arrivals = {"!SM1\r"};
    EXPECT_TRUE(closed.Run("??SMSTA\r"));
    EXPECT_THAT(closed.port.calls, ElementsAre("purge inout", "write ??SMSTA\r", "read"));
}

TEST(TrafficLogLine, ShowsEveryCrAsBackslashRAndNothingElseChanged) {
    EXPECT_EQ(TrafficLogLine("##SMSTA\r", "!SMACK\r"), "##SMSTA\\r | !SMACK\\r");
    EXPECT_EQ(TrafficLogLine("a\rb\r", "\r\r\n\t|"), "a\\rb\\r | \\r\\r\n\t|");
    EXPECT_EQ(TrafficLogLine("", ""), " | ");
}

} // namespace
} // namespace kronax
