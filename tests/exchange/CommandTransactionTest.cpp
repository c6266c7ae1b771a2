#include "exchange/CommandTransaction.h"
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
        CommandTransaction transaction(port, tick, log);
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

// Exchanges on one transaction object: each one's outcome decides how the next listens for a
// late answer first.
struct Exchanges {
    FakeCommandPort port;
    FakeTrafficLog log;
    FakeTick tick;
    test::FakePortRecords records;
    CommandTransaction transaction{port, tick, log, records};
    std::string reply;

    explicit Exchanges(std::vector<std::uint32_t> ticks, std::uint32_t step = 0)
        : tick(std::move(ticks), step) {
        records.journal = &port.calls;
    }

    bool Run(const std::string& command, std::int32_t timeout = 1000) {
        port.calls.clear();
        port.waits.clear();
        return transaction.TransactCommand(command, reply, timeout);
    }
};

TEST(TransactCommandAfterATimeOut, LateAnswerIsReadLoggedAsSuchAndNeverTakenForTheNextAnswer) {
    // First exchange: start 0, times out at 1001. Second: its guard reads nothing at 1001, waits
    // for the rest of the guard time, then the late answer arrives; then its own answer.
    Exchanges x({0, 1001, 1001, 1300, 1300, 1300});
    EXPECT_FALSE(x.Run("??SMCDM\r"));
    x.port.waitArrivals = {"!SM0064\r"};
    x.port.arrivals = {"", "", "!SM0102\r"};
    EXPECT_TRUE(x.Run("??SMABV\r"));
    EXPECT_EQ(x.reply, "!SM0102\r");
    EXPECT_THAT(x.port.calls,
                ElementsAre("read", "wait 1001", "read", "purge inout", "write ??SMABV\r", "read"));
    EXPECT_THAT(x.log.lines,
                ElementsAre("??SMCDM\\r | ", "(late answer to ??SMCDM\\r discarded) | !SM0064\\r",
                            "??SMABV\\r | !SM0102\\r"));
}

TEST(TransactCommandAfterATimeOut, SilentBoardPaysForOneGuardAndLaterExchangesSendAtOnce) {
    // Times out at 1001; the guard passes in silence at 2002; times out at 3003; sends at once.
    Exchanges x({0, 1001, 1001, 2002, 2002, 3003, 3003, 3003, 3003, 4004});
    EXPECT_FALSE(x.Run("??SMCDM\r"));
    EXPECT_FALSE(x.Run("??SMABV\r"));
    EXPECT_THAT(x.port.waits, ElementsAre(LateAnswerGuardMs + 1));
    EXPECT_FALSE(x.Run("??SMTDF\r"));
    EXPECT_THAT(x.port.calls, ElementsAre("read", "purge inout", "write ??SMTDF\r", "read"));
    EXPECT_THAT(x.log.lines, ElementsAre("??SMCDM\\r | ", "??SMABV\\r | ", "??SMTDF\\r | "));
}

TEST(TransactCommandAfterATimeOut, SentAtOnceTheFirstLineWithinTheEarlierGuardIsNeverTaken) {
    struct Case {
        std::vector<std::string> arrivals; // after the exchange's write
        std::vector<std::uint32_t> ticks;  // from the write on
        bool found;
        std::string reply;
    };
    const Case cases[] = {
        {{"!SM0102\r", "!SM0304\r"}, {3003, 3003, 3100, 3200}, true, "!SM0304\r"},
        {{"!SM0102\r!SM03", "04\r"}, {3003, 3003, 3100, 3200}, true, "!SM0304\r"},
        {{"!SM0102\r"}, {3003, 3003, 3100, 4004}, false, ""},
        // After the earlier guard a line is the exchange's own.
        {{"", "!SM0304\r"}, {3003, 3003, 3003, 4005}, true, "!SM0304\r"},
    };
    for (const Case& c : cases) {
        std::vector<std::uint32_t> ticks = {0, 1001, 1001, 2002, 2002, 3003, 3003};
        ticks.insert(ticks.end(), c.ticks.begin(), c.ticks.end());
        Exchanges x(ticks);
        EXPECT_FALSE(x.Run("??SMCDM\r"));
        EXPECT_FALSE(x.Run("??SMABV\r"));
        x.port.arrivals = {""};
        x.port.arrivals.insert(x.port.arrivals.end(), c.arrivals.begin(), c.arrivals.end());
        EXPECT_EQ(x.Run("??SMTDF\r"), c.found) << c.arrivals.front();
        EXPECT_EQ(x.reply, c.reply) << c.arrivals.front();
        const bool split = c.arrivals.front() != "";
        EXPECT_EQ(x.log.lines.size(), split ? 4u : 3u) << c.arrivals.front();
        if (split) {
            EXPECT_EQ(x.log.lines[2], "(late answer to ??SMABV\\r discarded) | !SM0102\\r");
        }
    }
}

TEST(TransactCommandAfterATimeOut, ALateAnswerAfterASilentGuardEndsSendingAtOnceAndDelaysTheNext) {
    // The third exchange is sent at 3003 and sees the second one's late answer at 3100: the
    // board was busy for 97 ms more, so the fourth listens that much longer than the guard.
    Exchanges x(
        {0, 1001, 1001, 2002, 2002, 3003, 3003, 3003, 3003, 3100, 4004, 4004, 5102, 5102, 6103});
    EXPECT_FALSE(x.Run("??SMCDM\r"));
    EXPECT_FALSE(x.Run("??SMABV\r"));
    x.port.arrivals = {"", "!SM0102\r"};
    EXPECT_FALSE(x.Run("??SMTDF\r"));
    EXPECT_FALSE(x.Run("??SMMOD\r"));
    EXPECT_THAT(x.port.waits, ElementsAre(LateAnswerGuardMs + 97 + 1));
}

TEST(TransactCommandAfterATimeOut, AnswerQueuedLongAfterTheGuardIsReadOnceAndLoggedWithoutWait) {
    Exchanges x({0, 1001, 90000, 90000});
    EXPECT_FALSE(x.Run("##SMMOD00000\r"));
    x.port.queue = "!SMACK\r";
    x.port.arrivals = {"", "!SMNCK\r"};
    EXPECT_TRUE(x.Run("##SMMUX00880\r"));
    EXPECT_EQ(x.reply, "!SMNCK\r");
    EXPECT_TRUE(x.port.waits.empty());
    EXPECT_EQ(x.log.lines[1], "(late answer to ##SMMOD00000\\r discarded) | !SMACK\\r");
}

TEST(TransactCommandAfterATimeOut, HealthyExchangeLeavesNoGuardAndAClosedPortKeepsIt) {
    Exchanges answered({0, 5, 5, 5});
    answered.port.arrivals = {"!SMACK\r"};
    EXPECT_TRUE(answered.Run("##SMSTA\r"));
    answered.port.arrivals = {"!SMACK\r"};
    EXPECT_TRUE(answered.Run("##SMSTA\r"));
    EXPECT_THAT(answered.port.calls, ElementsAre("purge inout", "write ##SMSTA\r", "read"));

    // The late answer may still come after the port is opened again.
    Exchanges closed({0, 1001, 1001, 1001});
    EXPECT_FALSE(closed.Run("??SMSTA\r"));
    closed.port.connected = false;
    EXPECT_FALSE(closed.Run("??SMSTA\r"));
    EXPECT_TRUE(closed.port.calls.empty());
    closed.port.connected = true;
    closed.port.arrivals = {"!SM1\r", "!SM2\r"};
    EXPECT_TRUE(closed.Run("??SMSTA\r"));
    EXPECT_EQ(closed.reply, "!SM2\r");
}

TEST(PortRecord, KeepsTheCommandFromBeforeItsWriteUntilItsCrAndTheSequenceSettlesOrItsEndWithout) {
    Exchanges x({0, 5, 5, 9, 9, 1010, 1010});
    x.port.opening = {"COM1", 1};
    x.port.arrivals = {"!SMACK\r"};
    EXPECT_TRUE(x.Run("##SMSTA\r"));
    // Eight characters take 9 ms at 9600 baud; then the time-out.
    EXPECT_THAT(x.port.calls,
                ElementsAre("record 1001009 ##SMSTA\r", "purge inout", "write ##SMSTA\r", "read"));
    // The next command replaces the answered one without a clear between them.
    x.port.arrivals = {"!SMACK\r"};
    EXPECT_TRUE(x.Run("##SMSETP\r"));
    EXPECT_EQ(x.port.calls.front(), "record 1001010 ##SMSETP\r");
    x.port.calls.clear();
    x.transaction.Settle();
    x.transaction.Settle();
    EXPECT_THAT(x.port.calls, ElementsAre("clear record"));
    x.records.wallMs = 2'000'000;
    EXPECT_FALSE(x.Run("??SMSTA\r"));
    x.port.calls.clear();
    x.transaction.Settle();
    EXPECT_TRUE(x.port.calls.empty()) << "an unanswered command stays";
    EXPECT_EQ(x.records.records.at("COM1"), (PendingAnswer{"??SMSTA\r", 2'000'000}));
}

TEST(PortRecord, KeepsAGuardGrownByTheBoardsBacklogAsALaterEnd) {
    // As in the test of a late answer after a silent guard: the third guard grows by 97 ms.
    Exchanges x({0, 1001, 1001, 1001, 2002, 2002, 3003, 3003, 3003, 3003, 3003, 3100, 4004, 4004});
    x.port.opening = {"COM1", 1};
    EXPECT_FALSE(x.Run("??SMCDM\r"));
    EXPECT_FALSE(x.Run("??SMABV\r"));
    x.port.arrivals = {"", "!SM0102\r"};
    EXPECT_FALSE(x.Run("??SMTDF\r"));
    EXPECT_EQ(x.records.records.at("COM1"), (PendingAnswer{"??SMTDF\r", x.records.wallMs + 97}));
}

TEST(PortRecord, TheNextOpeningHonoursTheRestOfTheGuardItLeftAndNoMore) {
    struct Case {
        std::optional<std::int64_t> endFromNow; // the record's end, from the wall clock's now
        std::optional<std::uint32_t> listened;  // the first wait for the late answer
        bool absolute = false;                  // endFromNow is the record's end itself
    };
    const Case cases[] = {
        {-400, 600}, // ended 400 ms ago
        {500, 1500}, // a killed run's exchange still under way
        {90000, LongestInheritedGuardMs},
        {-1000, std::nullopt},
        {std::nullopt, std::nullopt},
        // Dates no exchange leaves, the record's own, taken without overflow.
        {std::numeric_limits<std::int64_t>::max(), LongestInheritedGuardMs, true},
        {std::numeric_limits<std::int64_t>::min(), std::nullopt, true},
    };
    for (const Case& c : cases) {
        Exchanges x({0}, 1);
        if (c.endFromNow)
            x.records.records["COM1"] = {
                "##SMSTA\r", c.absolute ? *c.endFromNow : x.records.wallMs + *c.endFromNow};
        x.port.opening = {"COM1", 7};
        EXPECT_FALSE(x.Run("##SMSETP\r"));
        if (c.listened) {
            EXPECT_EQ(x.port.waits.front(), *c.listened);
        } else {
            EXPECT_EQ(x.port.calls.front(), "record 1001010 ##SMSETP\r");
        }
    }
}

// Without records, what this program knows of a port's unanswered command stays with that port.
TEST(PortRecord, WithoutRecordsTheGuardOfOnePortNeverDelaysAnother) {
    const struct {
        const char* reopened;
        bool listensFirst;
    } cases[] = {{"COM1", true}, {"COM2", false}};
    for (const auto& c : cases) {
        Exchanges x({0}, 1);
        x.records.unusable = true;
        x.port.opening = {"COM1", 1};
        EXPECT_FALSE(x.Run("??SMCDM\r"));
        x.port.opening = {c.reopened, 2};
        x.Run("??SMABV\r");
        EXPECT_EQ(x.port.calls.front() == "read", c.listensFirst) << c.reopened;
    }
}

TEST(PortRecord, WhatAnotherProgramLeftWhileThePortWasClosedIsReadAtTheNextOpening) {
    Exchanges x({0, 5, 5, 5, 5, 5});
    x.port.opening = {"COM1", 1};
    x.port.arrivals = {"!SMACK\r"};
    EXPECT_TRUE(x.Run("##SMSTA\r"));
    x.records.records["COM1"] = {"##SMSETP\r", x.records.wallMs};
    x.port.opening = {"COM1", 2};
    x.port.queue = "!SMNCK\r";
    x.port.arrivals = {"", "!SMACK\r"};
    EXPECT_TRUE(x.Run("##SMSTA\r"));
    EXPECT_EQ(x.reply, "!SMACK\r");
    EXPECT_EQ(x.log.lines[1], "(late answer to ##SMSETP\\r discarded) | !SMNCK\\r");
}

TEST(PortRecord, TextRoundTripsOverALongerOneAndAnythingElseIsNoRecord) {
    const PendingAnswer pending{"##SMSEN010100000000\r\n", -12};
    const PendingAnswer shorter{"??SMSTA\r", 1700000000000};
    EXPECT_EQ(ParsePendingAnswer(PendingAnswerText(pending)), pending);
    std::string over = PendingAnswerText(pending);
    over.replace(0, PendingAnswerText(shorter).size(), PendingAnswerText(shorter));
    EXPECT_EQ(ParsePendingAnswer(over), shorter);
    over.replace(0, 2, NothingPendingText);
    EXPECT_EQ(ParsePendingAnswer(over), std::nullopt);
    for (const char* text : {"", "1700000000000 8", "1700000000000 8\n??SMSTA", "17x 8\n??SMSTA\r",
                             " 8\n??SMSTA\r", "17 0\n", "17\n??SMSTA\r"})
        EXPECT_EQ(ParsePendingAnswer(text), std::nullopt) << text;
}

TEST(TrafficLogLine, ShowsEveryCrAsBackslashRAndNothingElseChanged) {
    EXPECT_EQ(TrafficLogLine("##SMSTA\r", "!SMACK\r"), "##SMSTA\\r | !SMACK\\r");
    EXPECT_EQ(TrafficLogLine("a\rb\r", "\r\r\n\t|"), "a\\rb\\r | \\r\\r\n\t|");
    EXPECT_EQ(TrafficLogLine("", ""), " | ");
}

} // namespace
} // namespace kronax
