#include "tests/cli/CliHarness.h"

#include "protocol/PayloadCodec.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

namespace kronax::cli::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string PulseTriggerFile(const Boards& boards) {
    ConfigurationSnapshot snapshot = StartSnapshot();
    snapshot.Selected(Selection::SensorType) = sensor_type::PulseTrigger;
    snapshot.configuration.CountsPerRev = 3600;
    const std::string file = boards.File("pulse.kxcfg");
    SaveConfigFile(file, snapshot, false);
    return file;
}

TEST(PtyKronaxUnattended, AStopSignalEndsAfterTheExchangeUnderWayAndSaysWhatWasNotSent) {
    for (const int signal : {SIGINT, SIGTERM}) {
        Boards boards(SimArgs{{"--delay", "150"}, {"--delay", "150"}});
        const std::string file = PulseTriggerFile(boards);
        const std::string out = boards.File("out.txt");
        KronaxProcess kronax("write --port COM1,COM2 --json " + file + " >" + out + " 2>" +
                             boards.File("err.txt"));
        // Stopped once the writes have begun on both boards, long before the last.
        EXPECT_TRUE(boards.WaitUntilReceived("COM1", "##SM"));
        EXPECT_TRUE(boards.WaitUntilReceived("COM2", "##SM"));
        kronax.Signal(signal);
        EXPECT_EQ(kronax.Wait(), 128 + signal);
        const auto objects = JsonLines(ReadFileText(out));
        ASSERT_EQ(objects.size(), 2u) << ReadFileText(boards.File("err.txt"));
        for (const auto& object : objects) {
            EXPECT_EQ(object["exit_code"], 128 + signal);
            EXPECT_EQ(object["error"]["code"], "interrupted");
            const auto sent = object["report"].size();
            EXPECT_GT(sent, 0u);
            EXPECT_EQ(sent + object["sent_no_answer"].size() + object["not_sent"].size(), 6u);
            EXPECT_FALSE(boards.ReceivedAny(object["port"], "##SMMUX"));
        }
        EXPECT_THAT(ReadFileText(boards.File("err.txt")), HasSubstr(" not sent\n"));
    }
}

TEST(PtyKronaxUnattended, AReaderThatGoesAwayNeverStopsAWriteHalfWay) {
    Boards boards(SimArgs{{"--delay", "50"}, {"--delay", "50"}});
    const std::string file = PulseTriggerFile(boards);
    // The reader ends before kronax prints; its writes then fail with a closed pipe.
    const std::string line = std::string("(") + KRONAX_BINARY + " write --port COM1,COM2 " + file +
                             " 2>/dev/null; echo $? >" + boards.File("code") + ") | true";
    ASSERT_EQ(std::system(line.c_str()), 0);
    EXPECT_EQ(ReadFileText(boards.File("code")), "5\n");
    // "-" as the file reads standard input.
    const std::string fromInput = std::string(KRONAX_BINARY) + " diff --port COM1 - <" + file;
    EXPECT_EQ(std::system(fromInput.c_str()), 0);
    for (const char* port : {"COM1", "COM2"})
        EXPECT_TRUE(boards.ReceivedAny(port, "##SMMUX")) << port;
}

TEST(PtyKronaxUnattended, ProgressShowsOnATerminalOnly) {
    Boards boards(1);
    const std::string read = std::string(KRONAX_BINARY) + " read --port COM1 >/dev/null";
    const std::string terminal = boards.File("terminal.txt");
    // script gives kronax a terminal and copies what it shows into the file.
    const std::string onTerminal = "script -qc '" + read + "' " + terminal + " >/dev/null";
    ASSERT_EQ(std::system(onTerminal.c_str()), 0);
    EXPECT_THAT(ReadFileText(terminal), HasSubstr("COM1: reading 6 of 6"));
    const std::string redirected = read + " 2>" + boards.File("err.txt");
    ASSERT_EQ(std::system(redirected.c_str()), 0);
    EXPECT_EQ(ReadFileText(boards.File("err.txt")), "");
}

TEST(PtyKronaxUnattended, APortLostDuringAWriteReportsWhatReachedTheBoard) {
    Boards boards(SimArgs{{"--delay", "150"}});
    const std::string file = PulseTriggerFile(boards);
    // Unplugged once the first write has its answer and the second waits for its own.
    bool written = false;
    std::thread unplug([&] {
        written = boards.WaitUntilReceived("COM1", "##SMCDM");
        boards.Unplug(1);
    });
    Outcome write = Kronax({"write", "--port", "COM1", "--json", file});
    unplug.join();
    EXPECT_TRUE(written);
    EXPECT_EQ(write.code, 3);
    const auto object = nlohmann::json::parse(write.out);
    EXPECT_EQ(object["error"]["code"], "port_vanished");
    EXPECT_THAT(object["error"]["message"].get<std::string>(), HasSubstr(" not sent"));
    EXPECT_GT(object["report"].size(), 0u);
    EXPECT_EQ(object["report"].size() + object["sent_no_answer"].size() + object["not_sent"].size(),
              6u);
    EXPECT_THAT(object["report"][0].get<std::string>(), HasSubstr("| CA parameters acknowledged."));
}

TEST(PtyKronaxUnattended, RepliesThatAreNotUtf8AreKeptByteForByteInJson) {
    Boards boards(SimArgs{{"--reply", "??SMSEN=21534DB50D", "--reply", "??SMSTA=21534DB50D"}});
    Outcome read = Kronax({"read", "--port", "COM1", "--json"});
    EXPECT_EQ(read.code, 1);
    const auto object = nlohmann::json::parse(read.out);
    EXPECT_EQ(object["error"]["code"], "read_incomplete");
    EXPECT_EQ(object["payloads"]["SEN"], nullptr);
    EXPECT_EQ(object["payloads"]["CDM"], "0001") << "the payloads that were read stay";
    EXPECT_THAT(object["report"][0].get<std::string>(), HasSubstr("!SM\xC2\xB5"));

    const std::string unread = boards.File("unread.kxcfg");
    EXPECT_EQ(Kronax({"read", "--port", "COM1", "--output", unread}).code, 1);
    EXPECT_FALSE(std::filesystem::exists(unread)) << "the file made for the read goes again";

    const auto status = nlohmann::json::parse(Kronax({"status", "--port", "COM1", "--json"}).out);
    EXPECT_EQ(status["status"], "\xC2\xB5");
    EXPECT_EQ(status["reply"], "!SM\xC2\xB5\r");
}

TEST(PtyKronaxUnattended, PayloadBytesAWriteWouldChangeAreDifferences) {
    Scratch scratch;
    const std::string state = scratch.Path("state.kxcfg");
    std::ofstream(state) << "[Kronax]\nSEN=000000000000\nCDM=0000\nABV=0000\nTDF=0000\n"
                            "MOD=00000\nMUX=10881\n";
    Boards boards(SimArgs{{"--state", state}});
    const std::string saved = boards.File("saved.kxcfg");
    Outcome read = Kronax({"read", "--port", "COM1", "--output", saved});
    EXPECT_EQ(read.code, 0);
    EXPECT_THAT(read.err, HasSubstr("warning: "));
    EXPECT_THAT(read.err, HasSubstr("MUX: board 10881, file 1088D"));

    Outcome diff = Kronax({"diff", "--port", "COM1", saved});
    EXPECT_EQ(diff.code, 4) << "the file holds values out of range";
    // Zero teeth, gap, counts and divider are beyond what the window accepts, in both.
    EXPECT_EQ(diff.out.substr(0, 80), "Payload MUX: board 10881, file 1088D\n"
                                      "Out of range on the board: counts_per_rev 0");

    const std::string raw = boards.File("raw.kxcfg");
    EXPECT_EQ(Kronax({"read", "--port", "COM1", "--raw", "--output", raw}).code, 0);
    EXPECT_THAT(ReadFileText(raw), HasSubstr("MUX=10881\r\n"));
}

TEST(PtyKronaxUnattended, InputsAreCheckedBeforeAnyExchange) {
    Boards boards(1);
    const std::string taken = boards.File("taken.kxcfg");
    ASSERT_EQ(Kronax({"read", "--port", "COM1", "--output", taken}).code, 0);
    const std::size_t exchanges = boards.Received("COM1").size();
    const struct {
        std::vector<std::string> args;
        int code;
    } cases[] = {
        {{"status", "--port", "COM0"}, 2},
        {{"status", "--port", "com1"}, 2},
        {{"status", "--port", "/dev/no-such-tty"}, 3},
        {{"read", "--port", "COM1", "--force"}, 2},
        {{"read", "--port", "COM1", "--output", taken}, 4},
        {{"read", "--port", "COM1", "--output", "/dev/null"}, 4},
        {{"read", "--port", "COM1", "--output", boards.File("none/x.kxcfg")}, 4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Kronax(c.args).code, c.code) << c.args.back();
    EXPECT_EQ(boards.Received("COM1").size(), exchanges);

    const auto port = JsonLines(Kronax({"ports", "--json"}).out).at(0);
    EXPECT_EQ(Kronax({"status", "--port", port["device_path"]}).code, 0);
    Outcome printed = Kronax({"read", "--port", "COM1", "--output", "-"});
    EXPECT_THAT(printed.out, HasSubstr("[Kronax]\r\nSEN="));
}

TEST(PtyKronaxUnattended, NoReadWritesABoardWithABrokenQueryAndPortFilesGoPerPort) {
    Boards boards(SimArgs{{"--ignore", "??SMCDM"}, {}});
    const std::string file = PulseTriggerFile(boards);
    EXPECT_EQ(Kronax({"write", "--port", "COM1", file}).code, 1);
    EXPECT_FALSE(boards.ReceivedAny("COM1", "##"));
    EXPECT_EQ(Kronax({"write", "--port", "COM1", "--no-read", file}).code, 0);
    EXPECT_TRUE(boards.ReceivedAny("COM1", "##SMMUX"));

    EXPECT_EQ(Kronax({"read", "--port", "COM2", "--output", boards.File("b-{port}.kxcfg")}).code,
              0);
    EXPECT_THAT(ReadFileText(boards.File("b-COM2.kxcfg")), HasSubstr("[Kronax]"));
}

TEST(PtyKronaxUnattended, EveryCommandsJsonFollowsTheSchema) {
    Boards boards(SimArgs{{}, {"--refuse", "##SMCDM"}, {"--ignore", "??SMMUX,??SMSTA"}});
    const std::string file = PulseTriggerFile(boards);
    const std::string partial = boards.File("partial.kxcfg");
    std::ofstream(partial) << "[Kronax]\nTDF=1404\n";
    const std::vector<std::vector<std::string>> commands = {
        {"ports"},
        {"show", file},
        {"read", "--all"},
        {"diff", "--all", file},
        {"write", "--all", "--verify", "--set-default", file},
        {"start", "--all"},
        {"status", "--all"},
        {"info", "--all"},
        {"set-default", "--port", "COM1,COM9"},
        {"write", "--all", "--set", "multiplier=20"},
        {"show", partial},
        {"history", "--limit", "3"}};
    std::string lines;
    for (std::vector<std::string> command : commands) {
        command.push_back("--json");
        lines += Kronax(command).out;
    }
    EXPECT_EQ(JsonLines(lines).size(), 3u + 1 + 3 * 6 + 2 + 3 + 1 + 3);
    const std::string output = boards.File("lines.json");
    std::ofstream(output) << lines;
    const std::string check = std::string("/usr/bin/python3 ") + KRONAX_SOURCE_DIR +
                              "/tests/cli/validate_json_lines.py " + KRONAX_SOURCE_DIR +
                              "/cli/schema/kronax-output.schema.json " + output;
    EXPECT_EQ(std::system(check.c_str()), 0);
}

} // namespace
} // namespace kronax::cli::testing
