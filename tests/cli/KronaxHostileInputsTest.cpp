#include "cli/ExitCode.h"
#include "tests/cli/CliHarness.h"

#include "protocol/PayloadCodec.h"
#include "sim/ArgumentVector.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

// kronax against the servers of hostile_server.py and against files no one would write: whatever
// they hold, a run ends within a bound of time and memory, with the right exit code and words,
// and never claims what did not happen.
namespace kronax::cli::testing {
namespace {

using ::testing::HasSubstr;
using Clock = std::chrono::steady_clock;

// The server as a process of its own, ended at the end of the test.
class HostileServer {
public:
    explicit HostileServer(std::vector<std::string> args) {
        args.insert(args.begin(), {"python3", KRONAX_SOURCE_DIR "/tests/cli/hostile_server.py"});
        int out[2];
        EXPECT_EQ(pipe(out), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawnp(&pid_, "python3", &actions, nullptr, sim::ArgumentVector(args).data(),
                     environ);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        std::string line;
        char c = 0;
        pollfd readable{out[0], POLLIN, 0};
        while (poll(&readable, 1, 10000) == 1 && read(out[0], &c, 1) == 1 && c != '\n')
            line += c;
        close(out[0]);
        port_ = line;
    }
    ~HostileServer() {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::string Url(const std::string& scheme, const std::string& host = "127.0.0.1") const {
        return scheme + "://" + host + ":" + port_;
    }

private:
    pid_t pid_ = -1;
    std::string port_;
};

struct ProcessRun {
    int code = -1;
    double seconds = 0;
    long maxRssKb = 0;
    std::string out, err;
};

// kronax as a process of its own, with its port records in scratch; a run past 60 s is a hang
// and is killed.
ProcessRun RunKronax(const Scratch& scratch, std::vector<std::string> args) {
    args.insert(args.begin(), KRONAX_BINARY);
    std::vector<std::string> environment = {"XDG_RUNTIME_DIR=" + scratch.Path("")};
    for (char** each = environ; *each != nullptr; ++each)
        if (std::string(*each).rfind("XDG_RUNTIME_DIR=", 0) != 0)
            environment.emplace_back(*each);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string out = scratch.Path("out"), err = scratch.Path("err");
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    const auto start = Clock::now();
    posix_spawn(&pid, KRONAX_BINARY, &actions, nullptr, sim::ArgumentVector(args).data(),
                sim::ArgumentVector(environment).data());
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (Clock::now() - start > std::chrono::seconds(60))
            kill(pid, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ProcessRun run;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.maxRssKb = usage.ru_maxrss;
    run.out = ReadFileText(out);
    run.err = ReadFileText(err);
    return run;
}

constexpr long MemoryBoundKb = 64 * 1024;

TEST(KronaxHostileInputs, FloodsAndRefusalsEndBoundedInTimeAndMemoryInTheirOwnWords) {
    const struct {
        const char* mode;
        const char* scheme;
        int code;
        double seconds;
        const char* words;
    } cases[] = {
        {"subneg-flood", "rfc2217", 3, 8, "could not be opened"},
        {"raw-flood", "socket", 1, 8, "Status: request timeout."},
        {"do-flood", "rfc2217", 3, 8, "not a Telnet/RFC 2217 server"},
        {"silent", "rfc2217", 3, 8, "not a Telnet/RFC 2217 server"},
        {"refuse", "rfc2217", 3, 8, "refused the COM-PORT option"},
    };
    for (const auto& c : cases) {
        Scratch scratch;
        HostileServer server({c.mode});
        const ProcessRun run = RunKronax(scratch, {"status", "--port", server.Url(c.scheme)});
        EXPECT_EQ(run.code, c.code) << c.mode << ": " << run.err;
        EXPECT_LT(run.seconds, c.seconds) << c.mode;
        EXPECT_LT(run.maxRssKb, MemoryBoundKb) << c.mode;
        EXPECT_THAT(run.out + run.err, HasSubstr(c.words)) << c.mode;
    }
}

std::string StartFile(const Scratch& scratch) {
    const std::string file = scratch.Path("start.kxcfg");
    SaveConfigFile(file, StartSnapshot(), false);
    return file;
}

TEST(KronaxHostileInputs, ACommandTheLineWasLostAfterIsSentWithNoAnswerNotUnsent) {
    Scratch scratch;
    HostileServer board({"board", "--lose-after", "##SMABV"});
    const ProcessRun write = RunKronax(scratch, {"write", "--no-read", "--json", "--port",
                                                 board.Url("socket"), StartFile(scratch)});
    EXPECT_EQ(write.code, 3) << write.err;
    const auto result = nlohmann::json::parse(write.out);
    EXPECT_EQ(result["sent_no_answer"], nlohmann::json::array({"ABV"}));
    EXPECT_EQ(result["not_sent"], nlohmann::json::array({"TDF", "MOD", "MUX"}));
    EXPECT_THAT(result["error"]["message"].get<std::string>(),
                HasSubstr("during ABV (sent, no answer); TDF, MOD, MUX not sent"));
}

// The write leaves MUX's answer late; the server passes it on to the next client, which reaches
// the same server by another name and must not take it for the start's answer.
TEST(KronaxHostileInputs, ALateAnswerIsToldApartWhicheverWayTheServersAddressIsSpelt) {
    Scratch scratch;
    HostileServer board({"board", "--late", "##SMMUX=1600", "--ignore", "##SMSTA"});
    const ProcessRun write = RunKronax(
        scratch, {"write", "--no-read", "--port", board.Url("socket"), StartFile(scratch)});
    EXPECT_EQ(write.code, 1) << write.err;
    const ProcessRun start = RunKronax(scratch, {"start", "--port", board.Url("tcp", "localhost")});
    EXPECT_EQ(start.code, 1) << start.err;
    EXPECT_EQ(start.out, "Start timeout.\n");
}

TEST(KronaxHostileInputs, AFileLargerThanAnyConfigurationIsRefusedWithoutBeingRead) {
    Scratch scratch;
    const std::string sparse = scratch.Path("sparse.kxcfg");
    std::ofstream(sparse).put('\n');
    std::filesystem::resize_file(sparse, std::uintmax_t{2} << 30);
    const std::string lineFeeds = scratch.Path("lines.kxcfg");
    std::ofstream(lineFeeds) << std::string(std::size_t{2} << 20, '\n');
    for (const std::string& file : {sparse, lineFeeds}) {
        const ProcessRun run = RunKronax(scratch, {"show", file});
        EXPECT_EQ(run.code, 4) << file;
        EXPECT_LT(run.seconds, 8) << file;
        EXPECT_LT(run.maxRssKb, MemoryBoundKb) << file;
        EXPECT_THAT(run.err, HasSubstr("larger than 1 MiB")) << file;
    }
}

// An exception no command expects (here from a standard output that throws) ends kronax with a
// line and the internal error's exit code, never an abort.
TEST(KronaxHostileInputs, AnExceptionNoCommandExpectsIsAnErrorLineNotAnAbort) {
    struct Refusing : std::streambuf {
        int overflow(int) override { return traits_type::eof(); }
        std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
    } refusing;
    std::ostream out(&refusing);
    out.exceptions(std::ios::badbit);
    std::ostringstream err;
    EXPECT_EQ(kronax::cli::RunKronax({"settings"}, out, err), ExitInternalError);
    EXPECT_THAT(err.str(), HasSubstr("kronax: internal error: "));
}

} // namespace
} // namespace kronax::cli::testing
