#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/OutcomeText.h"
#include "tests/sim/SimLink.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace kronax::sim {
namespace {

using Outcomes = std::array<std::string, 6>;

// A Pulse + Trigger configuration unlike the simulator's start one in every payload. The
// selections that share a MOD digit agree, so that a read gives back exactly this snapshot.
ConfigurationSnapshot PulseTriggerSnapshot() {
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
    s.Selected(Selection::SensorType) = sensor_type::PulseTrigger;
    s.Selected(Selection::CdmInput) = 1;
    s.Selected(Selection::EdgeTrigger) = 1;
    s.Selected(Selection::CaInput) = 1;
    s.Selected(Selection::EdgeAB) = EdgeABBoth;
    s.Selected(Selection::EdgeDetection) = 1;
    s.Selected(Selection::InputFilter) = 5;
    s.Selected(Selection::EncoderMode) = 2;
    s.Selected(Selection::TriggerLevel) = 1;
    s.Selected(Selection::Aux1Source) = 3;
    s.Selected(Selection::Di6Source) = 2;
    return s;
}

// The write commands of the configuration above, and of the simulator's start configuration.
const std::array<std::string, 6> PulseTriggerCommands = {"##SMSEN3C021E010000", "##SMCDM0E10",
                                                         "##SMABV0FC8",         "##SMTDF0403",
                                                         "##SMMOD21252",        "##SMMUX3028D"};
const std::array<std::string, 6> StartCommands = {"##SMSEN010100000000", "##SMCDM0001",
                                                  "##SMABV0000",         "##SMTDF0001",
                                                  "##SMMOD00000",        "##SMMUX00880"};
const std::array<std::string, 6> Queries = {"??SMSEN", "??SMCDM", "??SMABV",
                                            "??SMTDF", "??SMMOD", "??SMMUX"};

const Outcomes Acknowledged = {
    "CA parameters acknowledged.",         "CDM parameters acknowledged.",
    "Alpha Beta parameters acknowledged.", "Multiplier/Devider parameters acknowledged.",
    "Operation Mode acknowledged.",        "MUX acknowledged.",
};
const Outcomes WriteTimeouts = {
    "CA parameters timeout.",         "CDM parameters timeout.",
    "Alpha Beta parameters timeout.", "Multiplier/Devider parameters timeout.",
    "Operation Mode timeout.",        "MUX timeout.",
};
const Outcomes Received = {
    "CA parameters received.",         "CDM parameters received.",
    "Alpha Beta parameters received.", "Multiplier/Devider parameters received.",
    "Operation Mode received.",        "Operation Mode received.",
};
const Outcomes ReadTimeouts = {
    "CA parameters timeout.",         "CDM parameters timeout.",
    "Alpha Beta parameters timeout.", "Multiplier/Devider parameters timeout.",
    "Operation Mode timeout.",        "Operation Mode timeout.",
};

// The report of six exchanges: each line is the command, " | ", its outcome and CR LF.
std::string Report(const std::array<std::string, 6>& commands, const Outcomes& outcomes) {
    std::string report;
    for (std::size_t i = 0; i < commands.size(); ++i)
        report += commands[i] + " | " + outcomes[i] + "\r\n";
    return report;
}

// The commands as the simulator logs them on receipt.
std::vector<std::string> AsReceived(const std::array<std::string, 6>& commands) {
    std::vector<std::string> lines;
    for (const std::string& command : commands)
        lines.push_back(command + "\\r");
    return lines;
}

// A simulator log file of the test's own, removed before and after.
class ScopedSimLog {
public:
    explicit ScopedSimLog(const std::string& name) : path_(::testing::TempDir() + name) {
        std::filesystem::remove(path_);
    }
    ~ScopedSimLog() { std::filesystem::remove(path_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

std::string Write(Link& link, IConfigurationView& view) {
    return ReportText(WriteConfiguration(view, link.transaction));
}

std::string Read(Link& link, IConfigurationView& view) {
    return ReportText(ReadConfiguration(view, link.transaction));
}

TEST(ConfigurationOverSim, WrittenConfigurationIsAcknowledgedAndReadsBackUnchanged) {
    Link link({});
    MemoryConfigurationView written(PulseTriggerSnapshot());
    EXPECT_EQ(Write(link, written), Report(PulseTriggerCommands, Acknowledged));

    MemoryConfigurationView read;
    EXPECT_EQ(Read(link, read), Report(Queries, Received));
    EXPECT_EQ(read.Snapshot(), PulseTriggerSnapshot());
    EXPECT_EQ(link.log.lines.size(), 12u);
}

struct WriteFaultCase {
    const char* fault;
    std::vector<std::string> simArgs;
    Outcomes outcomes;
};

TEST(ConfigurationOverSim, EveryWriteCommandIsSentAndReportedWhateverTheOthersGot) {
    Outcomes cdmRefused = Acknowledged;
    cdmRefused[1] = "CDM parameters NOT acknowledged.";
    const WriteFaultCase cases[] = {
        {"CDM refused", {"--refuse", "##SMCDM"}, cdmRefused},
        {"silent board", {"--silent"}, WriteTimeouts},
    };
    for (const WriteFaultCase& c : cases) {
        SCOPED_TRACE(c.fault);
        const ScopedSimLog simLog("kronax-write-fault-sim.log");
        std::vector<std::string> simArgs = c.simArgs;
        simArgs.insert(simArgs.end(), {"--log", simLog.Path()});
        Link link(simArgs);
        MemoryConfigurationView view;
        EXPECT_EQ(Write(link, view), Report(StartCommands, c.outcomes));
        EXPECT_EQ(ReceivedLines(simLog.Path()), AsReceived(StartCommands));
        EXPECT_EQ(link.log.lines.size(), 6u);
    }
}

TEST(ConfigurationOverSim, ClosedPortTimesOutEveryCommandWithoutSendingOrApplyingAny) {
    const ScopedSimLog simLog("kronax-closed-transfer-sim.log");
    Link link({"--log", simLog.Path()}, false);
    MemoryConfigurationView view(PulseTriggerSnapshot());
    EXPECT_EQ(Write(link, view), Report(PulseTriggerCommands, WriteTimeouts));
    EXPECT_EQ(Read(link, view), Report(Queries, ReadTimeouts));
    EXPECT_EQ(view.Snapshot(), PulseTriggerSnapshot());
    EXPECT_TRUE(link.log.lines.empty());

    // The first exchange after opening is the first line the simulator ever received.
    link.port.OpenPort();
    std::string reply;
    ASSERT_TRUE(link.transaction.TransactCommand("??SMSTA\r", reply, ConfigCommandTimeout));
    EXPECT_EQ(ReceivedLines(simLog.Path()), std::vector<std::string>{"??SMSTA\\r"});
}

struct ReadFaultCase {
    const char* fault;
    std::vector<std::string> simArgs;
    std::string report;
};

Outcomes NotReceivedWithCrLf() {
    // The simulator's start payloads, each answer ending CR LF, its CR taken out for the report.
    const std::array<std::string, 6> payloads = {"010100000000", "0001",  "0000",
                                                 "0001",         "00000", "00880"};
    const Outcomes messages = {
        "CA parameters NOT received correctly.",
        "CDM parameters NOT received correctly.",
        "Alpha Beta parameters NOT received correctly.",
        "Multiplier/Devider parameters NOT received correctly.",
        "Operation Mode NOT received correctly.",
        "Operation Mode NOT received correctly.",
    };
    Outcomes outcomes;
    for (std::size_t i = 0; i < outcomes.size(); ++i)
        outcomes[i] = "!SM" + payloads[i] + "\n | " + messages[i];
    return outcomes;
}

TEST(ConfigurationOverSim, ReadWithoutAProperAnswerAppliesNothing) {
    const ReadFaultCase cases[] = {
        {"silent board", {"--silent"}, Report(Queries, ReadTimeouts)},
        {"answers end CR LF", {"--crlf"}, Report(Queries, NotReceivedWithCrLf())},
    };
    for (const ReadFaultCase& c : cases) {
        SCOPED_TRACE(c.fault);
        Link link(c.simArgs);
        MemoryConfigurationView view(PulseTriggerSnapshot());
        EXPECT_EQ(Read(link, view), c.report);
        EXPECT_EQ(view.Snapshot(), PulseTriggerSnapshot());
    }
}

TEST(ConfigurationOverSim, MuxAfterATimedOutModTakesTheSensorTypeFromModeCodeZero) {
    Link link({"--ignore", "??SMMOD"});
    MemoryConfigurationView board(PulseTriggerSnapshot());
    ASSERT_EQ(Write(link, board), Report(PulseTriggerCommands, Acknowledged));

    MemoryConfigurationView view;
    Outcomes outcomes = Received;
    outcomes[4] = "Operation Mode timeout.";
    EXPECT_EQ(Read(link, view), Report(Queries, outcomes));

    // The numbers and the MUX sources arrive; the MOD selections keep their start positions.
    ConfigurationSnapshot expected = StartSnapshot();
    expected.configuration = PulseTriggerSnapshot().configuration;
    expected.Selected(Selection::SensorType) = sensor_type::InCarWithGaps;
    expected.Selected(Selection::Aux1Source) = 3;
    expected.Selected(Selection::Di6Source) = 2;
    EXPECT_EQ(view.Snapshot(), expected);
}

} // namespace
} // namespace kronax::sim
