#include "tests/cli/CliHarness.h"

#include "cli/BoardActions.h"
#include "cli/PortRunner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>

// How a run of kronax ends and what it prints around the ports' results.
namespace kronax::cli::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::string StartFile(const Boards& boards) {
    const std::string file = boards.File("start.kxcfg");
    SaveConfigFile(file, StartSnapshot(), false);
    return file;
}

// The board never answers the first write: the first signal alone would let kronax wait out its
// time-out and then print what was not sent. Two signals that arrive together may be taken in
// either order.
TEST(PtyKronaxRun, ASecondStopSignalEndsKronaxAtOnce) {
    Boards boards(SimArgs{{"--ignore", "##SMSEN"}});
    const std::string out = boards.File("out.txt");
    KronaxProcess kronax("write --no-read --json --port COM1 " + StartFile(boards) + " >" + out +
                         " 2>/dev/null");
    EXPECT_TRUE(boards.WaitUntilReceived("COM1", "##SMSEN"));
    kronax.Signal(SIGINT);
    kronax.Signal(SIGTERM);
    EXPECT_THAT(kronax.Wait(), ::testing::AnyOf(128 + SIGINT, 128 + SIGTERM));
    EXPECT_EQ(ReadFileText(out), "");
}

TEST(PtyKronaxRun, QuietLeavesOutTheSummaryTheProgressAndTheWarnings) {
    Scratch scratch;
    const std::string state = scratch.Path("state.kxcfg");
    // A payload the window's encoding writes otherwise: reading it into a file warns.
    std::ofstream(state) << "[Kronax]\nSEN=000000000000\nCDM=0000\nABV=0000\nTDF=0000\n"
                            "MOD=00000\nMUX=10881\n";
    Boards boards(SimArgs{{"--state", state}, {}});
    const std::string saved = boards.File("saved.kxcfg");
    const struct {
        std::vector<std::string> args;
        bool onError; // where the words go
        std::string words;
    } cases[] = {
        {{"status", "--all"}, false, "2 ports: 2 succeeded, 0 failed; exit code 0\n"},
        {{"status", "--all", "--json"}, true, "2 ports: 2 succeeded, 0 failed; exit code 0\n"},
        {{"read", "--port", "COM1", "--force", "--output", saved}, true, "warning: "},
    };
    for (const auto& c : cases) {
        for (const bool quiet : {false, true}) {
            std::vector<std::string> args = c.args;
            if (quiet)
                args.push_back("-q");
            const Outcome run = Kronax(args);
            EXPECT_EQ(run.code, 0) << run.err;
            EXPECT_EQ((c.onError ? run.err : run.out).find(c.words) == std::string::npos, quiet)
                << ::testing::PrintToString(args);
        }
    }
    EXPECT_THAT(Kronax({"status", "--all", "-q"}).out, HasSubstr("COM2: Status: "));

    // script gives kronax a terminal and copies what it shows into the file.
    for (const bool quiet : {false, true}) {
        const std::string terminal = boards.File("terminal.txt");
        const std::string read =
            std::string(KRONAX_BINARY) + " read --port COM2" + (quiet ? " -q" : "") + " >/dev/null";
        ASSERT_EQ(std::system(("script -qc '" + read + "' " + terminal + " >/dev/null").c_str()),
                  0);
        EXPECT_EQ(ReadFileText(terminal).find("COM2: reading") == std::string::npos, quiet);
    }
}

TEST(PtyKronaxRun, AFaultInsideKronaxFailsItsPortAloneWithCode70) {
    Boards boards(2);
    const PortAction action = [](BoardSession& session, const std::string& port) {
        if (port == "COM1")
            throw std::logic_error("a state that cannot be");
        return StatusAction(session.Guard());
    };
    for (const bool json : {false, true}) {
        std::ostringstream out, err;
        Output output(out, err);
        const RunOptions options{
            .command = "status", .json = json, .several = true, .record = false};
        EXPECT_EQ(RunOnPorts({"COM1", "COM2"}, action, options, output), 70);
        EXPECT_THAT(err.str(), HasSubstr("COM1: a state that cannot be\n"));
        EXPECT_THAT(out.str() + err.str(),
                    HasSubstr("2 ports: 1 succeeded, 1 failed; exit code 70"));
        if (!json) {
            EXPECT_THAT(out.str(), HasSubstr("COM2: Status: STOPPED"));
            continue;
        }
        for (const auto& object : JsonLines(out.str())) {
            const bool faulty = object["port"] == "COM1";
            EXPECT_EQ(object["exit_code"], faulty ? 70 : 0) << object;
            EXPECT_EQ(object["error"].is_null(), !faulty) << object;
            EXPECT_EQ(faulty ? object["error"]["code"] : object["status"],
                      faulty ? "internal_error" : "STOPPED")
                << object;
        }
        EXPECT_EQ(JsonLines(out.str()).size(), 2u);
    }
}

} // namespace
} // namespace kronax::cli::testing
