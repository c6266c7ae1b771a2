#include "tests/cli/CliHarness.h"

#include "exchange/BoardPort.h"
#include "protocol/PayloadCodec.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <thread>

namespace kronax::cli::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

ConfigurationSnapshot PulseTriggerSnapshot() {
    ConfigurationSnapshot s = StartSnapshot();
    s.configuration = {
        .CountsPerRev = 3600, .Multiplier = 2, .Divider = 3, .Alpha = 15, .Beta = 32};
    s.Selected(Selection::SensorType) = sensor_type::PulseTrigger;
    s.Selected(Selection::Aux2Source) = 4;
    return s;
}

std::string PulseTriggerFile(const Boards& boards) {
    const std::string file = boards.File("pulse.kxcfg");
    SaveConfigFile(file, PulseTriggerSnapshot(), false);
    return file;
}

TEST(PtyKronaxBoards, OneFileGoesOnEveryBoardNamedOrListed) {
    Boards boards(3);
    const std::string file = PulseTriggerFile(boards);
    const std::string mux = EncodePayload(PayloadKind::MUX, PulseTriggerSnapshot());
    Outcome named = Kronax({"write", "--port", "COM1,COM2", "--port", "COM3", file});
    EXPECT_EQ(named.code, 0) << named.err;
    for (const char* port : {"COM1", "COM2", "COM3"}) {
        EXPECT_THAT(named.out,
                    HasSubstr(std::string(port) + ": ##SMMUX" + mux + " | MUX acknowledged.\n"));
        EXPECT_TRUE(boards.ReceivedAny(port, "##SMCDM0E10"));
    }
    EXPECT_THAT(named.out, HasSubstr("3 ports: 3 succeeded, 0 failed; exit code 0\n"));

    Outcome all = Kronax({"diff", "--all", file});
    EXPECT_EQ(all.code, 0);
    EXPECT_THAT(all.out, HasSubstr("COM2: No differences.\n"));
    EXPECT_THAT(all.out, HasSubstr("3 ports: 3 succeeded"));
}

TEST(PtyKronaxBoards, ASilentBoardFailsAloneAndTheHighestCodeWins) {
    Boards boards(SimArgs{{}, {"--silent"}, {}});
    Outcome read = Kronax({"read", "--all", "--port", "COM9"});
    EXPECT_EQ(read.code, 2);

    read = Kronax({"read", "--all"});
    EXPECT_EQ(read.code, 1);
    EXPECT_THAT(read.out, HasSubstr("COM1: Sensor Type: Off\n"));
    EXPECT_THAT(read.out, HasSubstr("COM3: Beta (0..255): 0\n"));
    EXPECT_THAT(read.out, HasSubstr("COM2: ??SMSEN | CA parameters timeout.\n"));
    EXPECT_THAT(read.out, Not(HasSubstr("COM2: Sensor Type")));
    EXPECT_THAT(read.out, HasSubstr("3 ports: 2 succeeded, 1 failed; exit code 1\n"));
    EXPECT_EQ(read.err, "COM2: the board did not answer\n");

    Outcome missing = Kronax({"status", "--port", "COM1,COM9", "--json"});
    EXPECT_EQ(missing.code, 3);
    EXPECT_THAT(missing.err, HasSubstr("COM9: the port could not be opened: not present\n"));
    EXPECT_THAT(
        missing.out,
        HasSubstr(
            R"({"command":"status","port":"COM1","exit_code":0,"error":null,"outcome":"Status: )"));
}

TEST(PtyKronaxBoards, APortAnotherProgramHoldsIsReportedBusy) {
    Boards boards(1);
    auto held = OpenBoardPort("COM1", false);
    Outcome start = Kronax({"start", "--port", "COM1"});
    EXPECT_EQ(start.code, 3);
    EXPECT_EQ(start.err, "COM1: the port could not be opened: busy (another program holds it)\n");
    EXPECT_TRUE(boards.Received("COM1").empty());
}

// Runs kronax with args and unplugs the first board once it has received a line starting with
// command.
Outcome KronaxWhileUnplugging(Boards& boards, const std::vector<std::string>& args,
                              const std::string& command) {
    bool received = false;
    std::thread unplug([&] {
        received = boards.WaitUntilReceived("COM1", command);
        boards.Unplug(1);
    });
    Outcome outcome = Kronax(args);
    unplug.join();
    EXPECT_TRUE(received) << command << " never reached the board";
    return outcome;
}

TEST(PtyKronaxBoards, ABoardUnpluggedDuringTheReadIsAPortError) {
    // Unplugged while the second query waits for its answer.
    Boards boards(SimArgs{{"--delay", "200"}});
    Outcome read = KronaxWhileUnplugging(boards, {"read", "--port", "COM1"}, "??SMCDM");
    EXPECT_EQ(read.code, 3);
    EXPECT_EQ(read.err, "COM1: the port was disconnected while reading the board\n");
    // The exchanges before the failure are reported.
    EXPECT_THAT(read.out, StartsWith("??SMSEN | CA parameters received.\n"));
    EXPECT_THAT(read.out, Not(HasSubstr("timeout")));
}

TEST(PtyKronaxBoards, ABoardUnpluggedWhileASingleCommandWaitsIsLostDuringIt) {
    Boards boards(SimArgs{{"--ignore", "??SMSTA"}});
    Outcome status = KronaxWhileUnplugging(boards, {"status", "--port", "COM1"}, "??SMSTA");
    EXPECT_EQ(status.code, 3);
    EXPECT_EQ(status.err, "COM1: the port was disconnected during the command (sent, no answer)\n");
}

TEST(PtyKronaxBoards, StartAndSetDefaultPrintWhetherTheBoardAcknowledged) {
    Boards boards(SimArgs{{}, {"--refuse", "##SMSTA,##SMSETP"}});
    const struct {
        std::string command;
        std::string port;
        int code;
        std::string out;
    } cases[] = {
        {"start", "COM1", 0, "Start aknowledged.\n"},
        {"start", "COM2", 1, "Start NOT acknowledged.\n"},
        {"set-default", "COM1", 0, "Setting power on defaults aknowledged.\n"},
        {"set-default", "COM2", 1, "Setting power on defaults NOT acknowledged.\n"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Kronax({c.command, "--port", c.port});
        EXPECT_EQ(outcome.code, c.code) << c.command << " " << c.port;
        EXPECT_EQ(outcome.out, c.out) << c.command << " " << c.port;
    }
}

TEST(PtyKronaxBoards, VerboseShowsTheCommandAndThenTheIdentityForTheRecord) {
    Boards boards(1);
    Outcome start = Kronax({"start", "--port", "COM1", "-v"});
    EXPECT_EQ(start.code, 0);
    EXPECT_EQ(start.err, "##SMSTA\\r | !SMACK\\r\n??SMSETB\\r | !SM0815P1.2F2.1U1.7\\r\n");
}

TEST(PtyKronaxBoards, StatusAndInfoShowTheBoardsAnswers) {
    Boards boards(1);
    Outcome status = Kronax({"status", "--port", "COM1"});
    EXPECT_EQ(status.code, 0);
    EXPECT_THAT(status.out, StartsWith("Status: "));

    Outcome info = Kronax({"info", "--port", "COM1", "--json"});
    EXPECT_EQ(info.code, 0);
    const auto json = nlohmann::json::parse(info.out);
    for (const char* field : {"serial_number", "pcb_version", "fpga_version", "uc_version"})
        EXPECT_EQ(json["info"][field].get<std::string>().size(), 4u) << field;
}

TEST(PtyKronaxBoards, PortsListsEveryBoardWithItsDevice) {
    Boards boards(2);
    Outcome text = Kronax({"ports"});
    EXPECT_THAT(text.out, HasSubstr("COM1 \xC2\xB7 /dev/pts/"));
    const auto json = JsonLines(Kronax({"ports", "--json"}).out);
    ASSERT_EQ(json.size(), 2u);
    EXPECT_EQ(json[1]["port"], "COM2");
    EXPECT_THAT(json[1]["device_path"].get<std::string>(), StartsWith("/dev/pts/"));
}

} // namespace
} // namespace kronax::cli::testing
