#include "protocol/ReportTally.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "tests/fakes/FakeEntryStore.h"
#include "tests/fakes/ScriptedChannel.h"

#include <gtest/gtest.h>

#include <string>

namespace kronax {
namespace {

using test::BoardHolding;
using test::FakeEntryFile;
using test::FakeEntryStore;
using test::ScriptedChannel;
using test::SilentBoard;

// Tallies the reports of real transfers against boards that answer in different ways.
TEST(ReportTally, CountsTheFineLinesOfRealReportsAndNamesTheFirstFailure) {
    MemoryConfigurationView view;
    const auto refuseCdm = [](const std::string& command) -> std::optional<std::string> {
        return command.starts_with("##SMCDM") ? "!SMNCK\r" : "!SMACK\r";
    };
    // A board ending its lines with CR LF: the LF arrives with the CR, one character too many.
    const auto crLf = [](const std::string& command) -> std::optional<std::string> {
        const auto reply = BoardHolding(StartSnapshot())(command);
        return *reply + "\n";
    };
    const struct {
        const char* what;
        bool write;
        ScriptedChannel::Responder board;
        int fine;
        const char* firstFailure;
    } cases[] = {
        {"healthy write", true, BoardHolding(StartSnapshot()), 6, ""},
        {"healthy read", false, BoardHolding(StartSnapshot()), 6, ""},
        {"refused CDM", true, refuseCdm, 5, "CDM parameters NOT acknowledged."},
        {"silent write", true, SilentBoard, 0, "CA parameters timeout."},
        {"CR LF read", false, crLf, 0, "CA parameters NOT received correctly."},
    };
    for (const auto& c : cases) {
        ScriptedChannel board(c.board);
        const std::string report = c.write
                                       ? *WriteConfiguration(ConfigTarget::Device, {view, board})
                                       : ReadConfiguration(ConfigTarget::Device, {view, board});
        const ReportTally tally = TallyReport(report);
        EXPECT_EQ(tally.lines, 6) << c.what;
        EXPECT_EQ(tally.fine, c.fine) << c.what;
        EXPECT_EQ(tally.firstFailure, c.firstFailure) << c.what;
        EXPECT_EQ(tally.AllFine(), c.fine == 6) << c.what;
    }
}

TEST(ReportTally, FileReportsCountReadLinesOnly) {
    MemoryConfigurationView view;
    ScriptedChannel board(SilentBoard);
    FakeEntryFile file;
    file.Set("SEN", "0C0100000000");
    file.Set("CDM", "00Z0");
    FakeEntryStore store(file);
    const ReportTally tally =
        TallyReport(ReadConfiguration(ConfigTarget::File, {view, board, &store}));
    EXPECT_EQ(tally.lines, 6);
    EXPECT_EQ(tally.fine, 1);
    EXPECT_EQ(tally.firstFailure, "ILLEGAL CDM parameters.");
}

// A reply is quoted in its line; whatever it holds must not split the line or pass for an outcome.
TEST(ReportTally, QuotedRepliesNeitherSplitLinesNorCountAsOutcomes) {
    const std::string fakeOutcome = "??SMSEN | !SMCA parameters received.\r\n | CA parameters NOT "
                                    "received correctly.\r\n";
    const std::string brokenLine =
        "??SMCDM | !SMx\r\ny | CDM parameters NOT received correctly.\r\n";
    const ReportTally tally = TallyReport(fakeOutcome + brokenLine);
    EXPECT_EQ(tally.lines, 2);
    EXPECT_EQ(tally.fine, 0);
    EXPECT_EQ(tally.firstFailure, "CA parameters NOT received correctly.");

    const ReportTally unfinished = TallyReport("CA read.\r\nsomething else");
    EXPECT_EQ(unfinished.lines, 2);
    EXPECT_EQ(unfinished.fine, 1);
    EXPECT_FALSE(unfinished.AllFine());
    EXPECT_FALSE(TallyReport("").AllFine()) << "an empty report is no success";
    EXPECT_FALSE(TallyReport("MUX NOT acknowledged.\r\n").AllFine());
}

} // namespace
} // namespace kronax
