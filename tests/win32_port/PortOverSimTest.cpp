#include "protocol/BoardCommands.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/OutcomeText.h"
#include "tests/win32_port/PortOnWine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sstream>

namespace kronax::wine {
namespace {

std::vector<std::string> ReportLines(const std::string& report) {
    std::vector<std::string> lines;
    std::istringstream stream(report);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// Every line of a six-line report ends with its outcome (and the CR of its line break).
void ExpectOutcomes(const std::string& report, const std::array<std::string, 6>& outcomes) {
    const std::vector<std::string> lines = ReportLines(report);
    ASSERT_EQ(lines.size(), outcomes.size()) << report;
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].ends_with(" | " + outcomes[i] + "\r")) << lines[i];
}

// Different from the simulator's start configuration in every number.
ConfigurationSnapshot ChangedSnapshot() {
    ConfigurationSnapshot s = StartSnapshot();
    s.configuration = {.CountsPerRev = 3600,
                       .Tooth1 = 60,
                       .Tooth2 = 30,
                       .Gap1 = 2,
                       .Gap2 = 1,
                       .Multiplier = 4,
                       .Divider = 3,
                       .Alpha = 15,
                       .Beta = 200};
    return s;
}

TEST(Win32PortOverSim, RegisteredPortOpensAndAMissingOneRaisesErrorOne) {
    std::vector<std::string> ports;
    ListSerialPorts(ports);
    EXPECT_NE(std::find(ports.begin(), ports.end(), SimPort), ports.end());

    const std::string missing = "COM99";
    ASSERT_EQ(std::find(ports.begin(), ports.end(), missing), ports.end());
    SimLink link;
    link.port.SetPort(missing);
    try {
        link.port.OpenPort();
        ADD_FAILURE() << missing << " opened";
    } catch (const ESerialPort& error) {
        EXPECT_EQ(error.PortErrorCode(), CError_OpenFailed);
        EXPECT_GT(error.WinErrorCode(), 0);
    }
    EXPECT_FALSE(link.port.Connected());
    EXPECT_EQ(link.port.Device(), InvalidDeviceHandle);

    link.port.SetPort(SimPort);
    OpenOnWine(link.port);
    EXPECT_TRUE(link.port.Connected());
}

TEST(Win32PortOverSim, SixWritesAreAcknowledgedAndSixQueriesReadThemBack) {
    SimLink link;
    OpenOnWine(link.port);
    MemoryConfigurationView written(ChangedSnapshot());
    ExpectOutcomes(ReportText(WriteConfiguration(written, link.channel)),
                   {"CA parameters acknowledged.", "CDM parameters acknowledged.",
                    "Alpha Beta parameters acknowledged.",
                    "Multiplier/Devider parameters acknowledged.", "Operation Mode acknowledged.",
                    "MUX acknowledged."});

    MemoryConfigurationView read;
    ExpectOutcomes(ReportText(ReadConfiguration(read, link.channel)),
                   {"CA parameters received.", "CDM parameters received.",
                    "Alpha Beta parameters received.", "Multiplier/Devider parameters received.",
                    "Operation Mode received.", "Operation Mode received."});
    EXPECT_EQ(read.Snapshot(), ChangedSnapshot());
    EXPECT_EQ(link.log.lines.size(), 12u);
}

TEST(Win32PortOverSim, StartStatusAndBoardInformationGetTheBoardsAnswers) {
    SimLink link;
    OpenOnWine(link.port);
    EXPECT_EQ(CommandOutcomeText(SendStartCommand(link.channel)), "Start aknowledged.");
    // The status shows up to nine characters after "!SM", here the CR too.
    EXPECT_EQ(CommandOutcomeText(RequestStatus(link.channel)), "Status: RUNNING\r");
    EXPECT_EQ(CommandOutcomeText(RequestBoardInformation(link.channel)),
              "Board Information:\r\nSerial number: 0815\r\nPCB Version: P1.2\r\n"
              "FPGA Version: F2.1\r\n\xB5"
              "C Version: U1.7");
    EXPECT_EQ(link.log.lines.back(), "??SMSETB\\r | !SM0815P1.2F2.1U1.7\\r");
}

// The simulator answers "??SMXYZ" (with its refusal) a second after it arrives: past the
// exchange's time-out, within the late-answer guard. The exchange must end at its time-out,
// although Wine would leave a read set to return at once waiting, and the next one must not take
// that answer for its own.
TEST(Win32PortOverSim, AnAnswerAfterTheTimeOutIsDiscardedAsLate) {
    SimLink link;
    OpenOnWine(link.port);
    std::string reply;
    EXPECT_FALSE(link.channel.TransactCommand("??SMXYZ\r", reply, 300));
    EXPECT_EQ(reply, "");
    const CommandResult status = RequestStatus(link.channel);
    EXPECT_EQ(status.outcome, CommandOutcome::Answered);
    EXPECT_NE(status.reply, "!SMNCK\r");
    ASSERT_EQ(link.log.lines.size(), 3u);
    EXPECT_EQ(link.log.lines[0], "??SMXYZ\\r | ");
    EXPECT_EQ(link.log.lines[1], "(late answer to ??SMXYZ\\r discarded) | !SMNCK\\r");
}

} // namespace
} // namespace kronax::wine
