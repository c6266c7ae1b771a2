#include "sim/AnswerShaping.h"
#include "sim/SimProcess.h"
#include "tests/sim/SimLink.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/wait.h>

namespace kronax::sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

std::string Exchange(const PortClient& port, const std::string& command) {
    port.Write(command);
    return port.ReadLine();
}

std::chrono::milliseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

TEST(SimEndToEnd, PublishesThePortAndAnswersWritesAndQueries) {
    SimProcess sim({}, "COM7");
    EXPECT_EQ(sim.PrintedName(), "COM7");
    ASSERT_TRUE(fs::is_symlink(sim.LinkPath()));
    PortClient port(sim.LinkPath());
    EXPECT_EQ(Exchange(port, "??SMSEN\r"), "!SM010100000000\r");
    EXPECT_EQ(Exchange(port, "##SMTDF00A5\r"), "!SMACK\r");
    EXPECT_EQ(Exchange(port, "??SMTDF\r"), "!SM00A5\r");
    EXPECT_EQ(Exchange(port, "##SMTDF00A\r"), "!SMNCK\r");
}

// The simulator's peak resident memory in KiB, from the kernel's account of the process.
long PeakResidentKiB(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string field;
    long value = 0;
    while (status >> field) {
        if (field == "VmHWM:" && status >> value)
            return value;
    }
    return -1;
}

TEST(SimEndToEnd, FloodWithoutCrCostsNoMoreMemoryThanABufferfulAndIsRefused) {
    SimProcess sim;
    PortClient port(sim.LinkPath());
    EXPECT_EQ(Exchange(port, "??SMCDM\r"), "!SM0001\r");
    const long before = PeakResidentKiB(sim.Pid());
    const std::string chunk(1024 * 1024, 'x');
    for (int i = 0; i < 16; ++i)
        port.Write(chunk);
    EXPECT_EQ(Exchange(port, "\r"), "!SMNCK\r");
    EXPECT_LT(PeakResidentKiB(sim.Pid()) - before, 4 * 1024) << "a 16 MiB line was kept";
    EXPECT_EQ(Exchange(port, "??SMCDM\r"), "!SM0001\r");
}

TEST(SimEndToEnd, ClientOpeningAndClosingThePortRepeatedlyIsStillServed) {
    SimProcess sim;
    for (int i = 0; i < 5; ++i) {
        PortClient port(sim.LinkPath());
        EXPECT_EQ(Exchange(port, "??SMCDM\r"), "!SM0001\r") << "opening " << i;
    }
}

TEST(SimEndToEnd, RemovesItsLinkWhenStoppedBySigintOrSigterm) {
    for (int signal : {SIGINT, SIGTERM}) {
        SimProcess sim;
        ASSERT_TRUE(fs::is_symlink(sim.LinkPath()));
        const int status = sim.Stop(signal);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "signal " << signal;
        EXPECT_FALSE(fs::exists(fs::symlink_status(sim.LinkPath()))) << "signal " << signal;
    }
}

TEST(SimEndToEnd, RefusesToTakeOverAPortNameInUse) {
    SimProcess first;
    SimProcess second({"--ports-dir", first.Folder()});
    EXPECT_EQ(second.PrintedName(), "");
    PortClient port(first.LinkPath());
    EXPECT_EQ(Exchange(port, "??SMABV\r"), "!SM0000\r");
}

TEST(SimEndToEnd, PowerOnDefaultIsLoadedAgainFromTheStateFile) {
    const std::string state =
        (fs::temp_directory_path() / ("kronax-sim-state-" + std::to_string(getpid()))).string();
    fs::remove(state);
    {
        SimProcess sim({"--state", state});
        PortClient port(sim.LinkPath());
        EXPECT_EQ(Exchange(port, "##SMMOD1F2E3\r"), "!SMACK\r");
        EXPECT_EQ(Exchange(port, "##SMSETP\r"), "!SMACK\r");
        EXPECT_EQ(Exchange(port, "##SMMOD00000\r"), "!SMACK\r");
    }
    SimProcess sim({"--state", state});
    PortClient port(sim.LinkPath());
    EXPECT_EQ(Exchange(port, "??SMMOD\r"), "!SM1F2E3\r");
    fs::remove(state);
}

// The simulator serves one line at a time: once it has logged the second command, an answer to
// the first would have been sent and logged.
TEST(SimEndToEnd, SilentBoardNeverAnswers) {
    const std::string log =
        (fs::temp_directory_path() / ("kronax-sim-silent-" + std::to_string(getpid()))).string();
    fs::remove(log);
    SimProcess sim({"--silent", "--log", log});
    PortClient port(sim.LinkPath());
    port.Write("??SMSTA\r??SMCDM\r");
    ASSERT_TRUE(WaitUntilReceived(log, "??SMCDM"));
    std::ifstream in(log);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str().find(" TX "), std::string::npos) << content.str();
    EXPECT_EQ(port.ReadSome(0ms), "");
    fs::remove(log);
}

TEST(SimEndToEnd, RefusedCommandsGetNckChangeNothingAndOthersGetTheirAnswer) {
    SimProcess sim({"--refuse", "##SMSTA,??SMSEN,##SMCDM"});
    PortClient port(sim.LinkPath());
    EXPECT_EQ(Exchange(port, "##SMSTA\r"), "!SMNCK\r");
    EXPECT_EQ(Exchange(port, "??SMSEN\r"), "!SMNCK\r");
    EXPECT_EQ(Exchange(port, "##SMCDM0E10\r"), "!SMNCK\r");
    EXPECT_EQ(Exchange(port, "??SMCDM\r"), "!SM0001\r") << "a refused write is not stored";
}

TEST(SimEndToEnd, CrLfOptionEndsAnswersWithCrLf) {
    SimProcess sim({"--crlf"});
    PortClient port(sim.LinkPath());
    port.Write("??SMCDM\r");
    std::string answer = port.ReadLine();
    if (answer.back() == '\r')
        answer += port.ReadSome();
    EXPECT_EQ(answer, "!SM0001\r\n");
}

TEST(SimEndToEnd, DelayedAnswerComesNoSoonerThanTheDelay) {
    SimProcess sim({"--delay", "300"});
    PortClient port(sim.LinkPath());
    const auto start = Clock::now();
    EXPECT_EQ(Exchange(port, "##SMSTA\r"), "!SMACK\r");
    EXPECT_GE(Since(start), 300ms);
}

TEST(SimEndToEnd, SplitAnswerArrivesInPiecesWithPausesBetween) {
    SimProcess sim({"--split", "3", "--split-pause", "250"});
    PortClient port(sim.LinkPath());
    const auto start = Clock::now();
    port.Write("??SMCDM\r");
    const std::string first = port.ReadSome();
    EXPECT_EQ(first, "!SM");
    EXPECT_EQ(first + port.ReadLine(), "!SM0001\r");
    EXPECT_GE(Since(start), 500ms);
}

TEST(SimEndToEnd, LateAnswerComesAfterTheCommandsTimeOut) {
    SimProcess sim({"--late"});
    PortClient port(sim.LinkPath());
    auto start = Clock::now();
    EXPECT_EQ(Exchange(port, "??SMSETB\r").substr(0, 3), "!SM");
    EXPECT_GT(Since(start), 500ms);
    start = Clock::now();
    EXPECT_EQ(Exchange(port, "##SMSTA\r"), "!SMACK\r");
    EXPECT_GT(Since(start), 1000ms);
}

TEST(SimEndToEnd, GarbageOptionAnswersWithTheGarbageLine) {
    SimProcess sim({"--garbage"});
    PortClient port(sim.LinkPath());
    EXPECT_EQ(Exchange(port, "##SMSTA\r"), GarbageLine);
}

TEST(SimEndToEnd, PacedAnswerTakesAtLeastTheLineTimeOfItsCharacters) {
    SimProcess sim({"--pace"});
    PortClient port(sim.LinkPath());
    const auto start = Clock::now();
    EXPECT_EQ(Exchange(port, "??SMSEN\r"), "!SM010100000000\r");
    // 16 characters of 10 bits at 9600 baud.
    EXPECT_GE(Since(start), 16ms);
}

TEST(SimEndToEnd, LogRecordsEveryLineReceivedAndSentWithMillisecondStamps) {
    const std::string log =
        (fs::temp_directory_path() / ("kronax-sim-log-" + std::to_string(getpid()))).string();
    fs::remove(log);
    {
        SimProcess sim({"--log", log});
        PortClient port(sim.LinkPath());
        Exchange(port, "??SMSTA\r");
    }
    std::ifstream in(log);
    std::stringstream content;
    content << in.rdbuf();
    const std::regex expected(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} RX \?\?SMSTA\\r
\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} TX !SMSTOPPED\\r
)");
    EXPECT_TRUE(std::regex_match(content.str(), expected)) << content.str();
    fs::remove(log);
}

} // namespace
} // namespace kronax::sim
