#include "protocol/BoardCommands.h"
#include "protocol/BoardReplies.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/OutcomeText.h"
#include "sim/SimBoard.h"
#include "tests/sim/SimLink.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// A board that answers every command 300 ms after its time-out: each answer must be discarded
// as late, never taken for the answer to the next command, also where the answers of two
// commands have the same length.
namespace kronax::sim {
namespace {

// The simulator's power-on state: CDM, ABV and TDF answers of one length, none its start value.
class LateBoardState {
public:
    LateBoardState() : path_(::testing::TempDir() + "kronax-late-board.kxcfg") {
        std::ofstream(path_) << "[Kronax]\nSEN=010100000000\nCDM=0064\nABV=0102\nTDF=0304\n"
                                "MOD=00000\nMUX=00880\n";
    }
    ~LateBoardState() { std::filesystem::remove(path_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

std::string Exchange(const std::string& command) {
    return command + "\\r | ";
}

std::string Discarded(const std::string& command, const std::string& answer) {
    return "(late answer to " + command + "\\r discarded) | " + answer + "\\r";
}

// The report's lines, each without its CR LF.
std::vector<std::string> Lines(const std::string& report) {
    std::vector<std::string> lines;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.substr(0, line.size() - 1));
    return lines;
}

TEST(LateBoardOverSim, ReadTakesNoQueryAnswerForTheNextOneAndLogsEachAsDiscarded) {
    const LateBoardState state;
    Link link({"--late", "--state", state.Path()});
    MemoryConfigurationView view;
    const ConfigurationSnapshot before = view.Snapshot();
    const std::string report = ReportText(ReadConfiguration(view, link.transaction));
    for (const std::string& line : Lines(report))
        EXPECT_TRUE(line.ends_with(" timeout.")) << line;
    EXPECT_EQ(view.Snapshot(), before);
    EXPECT_EQ(
        link.log.lines,
        (std::vector<std::string>{
            Exchange("??SMSEN"), Discarded("??SMSEN", "!SM010100000000"), Exchange("??SMCDM"),
            Discarded("??SMCDM", "!SM0064"), Exchange("??SMABV"), Discarded("??SMABV", "!SM0102"),
            Exchange("??SMTDF"), Discarded("??SMTDF", "!SM0304"), Exchange("??SMMOD"),
            Discarded("??SMMOD", "!SM00000"), Exchange("??SMMUX")}));
}

TEST(LateBoardOverSim, WriteTakesNoAcknowledgementForTheNextCommand) {
    Link link({"--late"});
    MemoryConfigurationView view;
    const std::string report = ReportText(WriteConfiguration(view, link.transaction));
    const std::vector<std::string> lines = Lines(report);
    ASSERT_EQ(lines.size(), 6u);
    for (const std::string& line : lines)
        EXPECT_TRUE(line.ends_with(" timeout.")) << line;
    ASSERT_EQ(link.log.lines.size(), 11u);
    const char* const commands[] = {"##SMSEN010100000000", "##SMCDM0001",  "##SMABV0000",
                                    "##SMTDF0001",         "##SMMOD00000", "##SMMUX00880"};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(link.log.lines[2 * i], Exchange(commands[i]));
        if (i < 5) {
            EXPECT_EQ(link.log.lines[2 * i + 1], Discarded(commands[i], "!SMACK"));
        }
    }
}

TEST(LateBoardOverSim, SingleCommandsShowTheirTimeOutAndNeverTheEarlierCommandsAnswer) {
    Link link({"--late"});
    EXPECT_EQ(RequestStatus(link.transaction).outcome, CommandOutcome::Timeout);
    EXPECT_EQ(SendStartCommand(link.transaction).outcome, CommandOutcome::Timeout);
    EXPECT_EQ(SendPowerOnDefaultCommand(link.transaction).outcome, CommandOutcome::Timeout);
    EXPECT_EQ(RequestBoardInformation(link.transaction).outcome, CommandOutcome::Timeout);
    EXPECT_EQ(link.log.lines, (std::vector<std::string>{
                                  Exchange("??SMSTA"),
                                  Discarded("??SMSTA", std::string("!SM") + StoppedStatus),
                                  Exchange("##SMSTA"),
                                  Discarded("##SMSTA", "!SMACK"),
                                  Exchange("##SMSETP"),
                                  Discarded("##SMSETP", "!SMACK"),
                                  Exchange("??SMSETB"),
                              }));
}

} // namespace
} // namespace kronax::sim
