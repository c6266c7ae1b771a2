#include "bench/Turnaround.h"
#include "bench/BenchTable.h"
#include "tests/support/ScopedTempFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace kronax::bench {
namespace {

using Kind = TimedCall::Kind;
using std::chrono::microseconds;

Clock::time_point At(int us) {
    return Clock::time_point(microseconds(us));
}

TimedCall Call(Kind kind, int entryUs, int exitUs, bool cr = false) {
    return {kind, At(entryUs), At(exitUs), cr};
}

TEST(Turnarounds, BracketSpansFromTheLastReadWithoutTheCrToTheNextWrite) {
    const std::vector<TimedCall> calls = {
        Call(Kind::Purge, 0, 5),
        Call(Kind::Write, 5, 10),
        Call(Kind::Read, 20, 25),
        Call(Kind::Read, 300, 305),
        Call(Kind::Read, 600, 610, true),
        Call(Kind::Purge, 650, 660),
        Call(Kind::Write, 660, 680),
        Call(Kind::Read, 690, 700, true), // the first read brings the CR
        Call(Kind::Purge, 720, 725),
        Call(Kind::Write, 730, 740),
        Call(Kind::Read, 750, 760, true), // the last reply: no next command
    };
    const std::vector<TurnaroundBracket> brackets = Turnarounds(calls);
    ASSERT_EQ(brackets.size(), 2u);
    EXPECT_DOUBLE_EQ(brackets[0].lowerUs, 660 - 610);
    EXPECT_DOUBLE_EQ(brackets[0].upperUs, 680 - 300);
    EXPECT_DOUBLE_EQ(brackets[1].lowerUs, 730 - 700);
    EXPECT_DOUBLE_EQ(brackets[1].upperUs, 740 - 680) << "measured from the end of the write";
}

TEST(TurnaroundsFromWakeUp, SpanFromTheWaitThatTheCrEndedToTheNextWriteOnly) {
    const std::vector<TimedCall> calls = {
        Call(Kind::Write, 0, 10),         Call(Kind::Read, 20, 25),    Call(Kind::Wait, 30, 400),
        Call(Kind::Read, 410, 420, true), Call(Kind::Purge, 450, 460), Call(Kind::Write, 460, 480),
        Call(Kind::Read, 490, 500, true), // no wait before the CR: no span
        Call(Kind::Write, 530, 540),      Call(Kind::Read, 550, 560),  Call(Kind::Wait, 560, 900),
        Call(Kind::Read, 910, 920, true), // the last reply: no next command
    };
    EXPECT_EQ(TurnaroundsFromWakeUp(calls), std::vector<double>{480 - 400});
    EXPECT_EQ(PollPeriods(calls), (std::vector<double>{410 - 20, 910 - 550}))
        << "a wait between two reads is part of the period";
}

TEST(PollPeriods, NeverSpanTwoExchanges) {
    const std::vector<TimedCall> calls = {
        Call(Kind::Write, 0, 10),         Call(Kind::Read, 10, 12),    Call(Kind::Read, 250, 252),
        Call(Kind::Read, 500, 502, true), Call(Kind::Purge, 510, 511), Call(Kind::Write, 511, 520),
        Call(Kind::Read, 530, 531, true),
    };
    EXPECT_EQ(PollPeriods(calls), (std::vector<double>{240, 250}));
}

TEST(SimLogTurnarounds, PairsReplyAndNextCommandWithinASequenceOnly) {
    const test::ScopedTempFile logFile("bench-sim.log");
    const std::string& file = logFile.Path();
    {
        std::ofstream log(file);
        log << "2026-12-08 23:59:59.990 RX ??SMSEN\\r\n"
               "2026-12-08 23:59:59.998 TX !SM010100000000\\r\n"
               "not an entry\n"
               "2026-12-09 00:00:00.001 RX ??SMCDM\\r\n"
               "2026-12-09 00:00:00.010 TX !SM0001\\r\n"
               "2026-12-09 00:00:00.050 RX ##SMSEN010100000000\\r\n"
               "2026-12-09 00:00:00.060 TX !SMACK\\r\n"
               "2026-12-09 00:00:00.062 RX ##SMCDM0001\\r\n"
               "2026-12-09 00:00:00.070 TX !SMACK\\r\n";
    }
    EXPECT_EQ(SimLogTurnarounds(file, 2), (std::vector<double>{3, 2}))
        << "across midnight, and not between the two sequences";
}

TEST(SpreadOf, PicksOrderStatisticsOfUnsortedSamplesAndIsZeroWhenEmpty) {
    std::vector<double> samples;
    for (int i = 100; i >= 0; --i)
        samples.push_back(i);
    const Spread spread = SpreadOf(samples);
    EXPECT_EQ(spread.min, 0);
    EXPECT_EQ(spread.median, 50);
    EXPECT_EQ(spread.p95, 95);
    EXPECT_EQ(spread.max, 100);
    EXPECT_EQ(spread.mean, 50);
    EXPECT_EQ(SpreadOf({}).max, 0);
}

TEST(BenchTable, AlignsColumnsToTheirWidestCellAndPadsShortRows) {
    BenchTable table({"name", "value"});
    table.AddRow({"a", "12345"});
    table.AddRow({"longer"});
    EXPECT_EQ(table.Text(), "name    value\n"
                            "-------------\n"
                            "a       12345\n"
                            "longer       \n");
}

} // namespace
} // namespace kronax::bench
