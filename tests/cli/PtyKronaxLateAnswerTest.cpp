#include "tests/cli/CliHarness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

// A run of kronax killed while its board's answer is on the way: the next run must never take
// that answer for its own.
namespace kronax::cli::testing {
namespace {

// kronax as a process of its own, so that it can be killed during an exchange.
pid_t StartKronaxProcess(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(KRONAX_BINARY)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(KRONAX_BINARY, argv.data());
        _exit(127);
    }
    return pid;
}

TEST(PtyKronaxLateAnswers, AReadAfterAKilledRunTakesEveryAnswerForItsOwnCommand) {
    const std::string state =
        ::testing::TempDir() + "kronax-killed-run-" + std::to_string(getpid()) + ".kxcfg";
    std::ofstream(state) << "[Kronax]\nSEN=010100000000\nCDM=0064\nABV=0102\nTDF=0304\n"
                            "MOD=00000\nMUX=00880\n";
    // Every answer comes 600 ms after its command, within the time-out.
    Boards boards(SimArgs{{"--delay", "600", "--state", state}});
    const pid_t killed = StartKronaxProcess({"read", "--port", "COM1"});
    ASSERT_GT(killed, 0);
    EXPECT_TRUE(boards.WaitUntilReceived("COM1", "??SMSEN"));
    kill(killed, SIGKILL);
    waitpid(killed, nullptr, 0);

    const Outcome read = Kronax({"read", "--port", "COM1", "--json"});
    std::filesystem::remove(state);
    ASSERT_EQ(read.code, 0) << read.out;
    const nlohmann::json payloads = nlohmann::json::parse(read.out)["payloads"];
    EXPECT_EQ(payloads, (nlohmann::json{{"SEN", "010100000000"},
                                        {"CDM", "0064"},
                                        {"ABV", "0102"},
                                        {"TDF", "0304"},
                                        {"MOD", "00000"},
                                        {"MUX", "00880"}}));
}

} // namespace
} // namespace kronax::cli::testing
