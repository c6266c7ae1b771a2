#include "protocol/BoardCommands.h"
#include "protocol/BoardReplies.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/OutcomeText.h"
#include "sim/SimBoard.h"
#include "tests/sim/SimLink.h"
#include "tests/support/ScopedTempFile.h"

#include <gtest/gtest.h>

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
    LateBoardState() {
        std::ofstream(file_.Path()) << "[Kronax]\nSEN=010100000000\nCDM=0064\nABV=0102\n"
                                       "TDF=0304\nMOD=00000\nMUX=00880\n";
    }
    const std::string& Path() const { return file_.Path(); }

private:
    test::ScopedTempFile file_{"late-board.kxcfg"};
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

std::string Answered(const std::string& command, const std::string& answer) {
    return command + "\\r | " + answer + "\\r";
}

// One command of each sequence answers late, within the guard after its time-out; the board
// answers the others at once, so the next command's answer follows hard on the late one. The
// latest answer leaves 300 ms of the guard for a loaded machine's delays.
TEST(LateBoardOverSim, AnswerUpToASecondBeyondItsTimeOutIsNeverTakenForTheNextCommands) {
    const LateBoardState state;
    for (const int lateMs : {1300, 1500, 1700}) {
        const std::string late = std::to_string(lateMs);
        Link link({"--state", state.Path(), "--late-command", "??SMCDM=" + late, "--late-command",
                   "##SMCDM=" + late, "--late-command", "??SMSTA=" + late, "--refuse",
                   "##SMABV,##SMSETP"});
        MemoryConfigurationView view;
        ReadConfiguration(view, link.transaction);
        WriteConfiguration(view, link.transaction);
        RequestStatus(link.transaction);
        SendStartCommand(link.transaction);
        SendPowerOnDefaultCommand(link.transaction);
        RequestBoardInformation(link.transaction);
        const std::string identity =
            std::string("!SM") + SerialNumber + PcbVersion + FpgaVersion + MicroVersion;
        EXPECT_EQ(link.log.lines,
                  (std::vector<std::string>{
                      Answered("??SMSEN", "!SM010100000000"), Exchange("??SMCDM"),
                      Discarded("??SMCDM", "!SM0064"), Answered("??SMABV", "!SM0102"),
                      Answered("??SMTDF", "!SM0304"), Answered("??SMMOD", "!SM00000"),
                      Answered("??SMMUX", "!SM00880"), Answered("##SMSEN010100000000", "!SMACK"),
                      Exchange("##SMCDM0001"), Discarded("##SMCDM0001", "!SMACK"),
                      Answered("##SMABV0102", "!SMNCK"), Answered("##SMTDF0304", "!SMACK"),
                      Answered("##SMMOD00000", "!SMACK"), Answered("##SMMUX00880", "!SMACK"),
                      Exchange("??SMSTA"), Discarded("??SMSTA", std::string("!SM") + StoppedStatus),
                      Answered("##SMSTA", "!SMACK"), Answered("##SMSETP", "!SMNCK"),
                      Answered("??SMSETB", identity)}))
            << late << " ms late";
    }
}

} // namespace
} // namespace kronax::sim
