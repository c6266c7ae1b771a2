#pragma once

#include "cli/ConfigFiles.h"
#include "cli/KronaxCommand.h"
#include "tests/sim/SimLink.h"
#include "tests/support/FileText.h"

#include <nlohmann/json.hpp>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

// Runs kronax in-process against simulators reached through the real serial port.
namespace kronax::cli::testing {

// Every kronax of these tests, in-process or started, keeps its records in one scratch store,
// never in the user's own.
inline const bool RecordsInScratch = [] {
    const std::string store = (std::filesystem::temp_directory_path() /
                               ("kronax-cli-records-" + std::to_string(getpid()) + ".sqlite3"))
                                  .string();
    setenv("KRONAX_RECORDS", store.c_str(), 0);
    return true;
}();

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

inline Outcome Kronax(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    Outcome outcome;
    outcome.code = RunKronax(args, out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

using kronax::test::ReadFileText;

// kronax as a process of its own: sh runs the command line and execs kronax in its place, so
// the pid is kronax's.
class KronaxProcess {
public:
    KronaxProcess(const std::string& shellLine) {
        const std::string command = std::string("exec ") + KRONAX_BINARY + " " + shellLine;
        const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
        posix_spawn(&pid_, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), ::environ);
    }
    void Signal(int signal) const { kill(pid_, signal); }
    int Wait() const {
        int status = 0;
        waitpid(pid_, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
};

// The objects of JSON Lines output, one a line.
inline std::vector<nlohmann::json> JsonLines(const std::string& text) {
    std::vector<nlohmann::json> objects;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        objects.push_back(nlohmann::json::parse(line));
    return objects;
}

// A scratch folder removed at the end of the test.
class Scratch {
public:
    Scratch() {
        static int count = 0;
        folder_ = (std::filesystem::temp_directory_path() /
                   ("kronax-cli-" + std::to_string(getpid()) + "-" + std::to_string(++count)))
                      .string();
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    ~Scratch() { std::filesystem::remove_all(folder_); }
    std::string Path(const std::string& name) const { return folder_ + "/" + name; }

private:
    std::string folder_;
};

using SimArgs = std::vector<std::vector<std::string>>;

// Simulators COM1 ... COMn, each with its own arguments and traffic log, published together in
// one device-map folder that KRONAX_PORTS points at.
class Boards {
public:
    explicit Boards(const std::vector<std::vector<std::string>>& simArgs)
        : boards_(scratch_.Path("ports"), WithLogs(simArgs)), ports_(boards_.Folder()) {}

    explicit Boards(std::size_t count) : Boards(std::vector<std::vector<std::string>>(count)) {}

    std::string LogOf(const std::string& port) const { return scratch_.Path(port + ".log"); }
    std::vector<std::string> Received(const std::string& port) const {
        return sim::ReceivedLines(LogOf(port));
    }
    bool ReceivedAny(const std::string& port, const std::string& start) const {
        for (const std::string& line : Received(port))
            if (line.rfind(start, 0) == 0)
                return true;
        return false;
    }
    // Waits until the board of port has received a line starting with start (false after
    // HangLimit).
    bool WaitUntilReceived(const std::string& port, const std::string& start) const {
        return sim::WaitUntilReceived(LogOf(port), start);
    }
    std::string File(const std::string& name) const { return scratch_.Path(name); }
    // Ends the simulator of COM<number>, closing its side of the line.
    void Unplug(int number) { boards_.Board(static_cast<std::size_t>(number)).Stop(SIGTERM); }

private:
    std::vector<std::vector<std::string>>
    WithLogs(std::vector<std::vector<std::string>> simArgs) const {
        for (std::size_t index = 0; index < simArgs.size(); ++index)
            simArgs[index].insert(simArgs[index].end(),
                                  {"--log", LogOf("COM" + std::to_string(index + 1))});
        return simArgs;
    }

    Scratch scratch_;
    sim::SimBoards boards_;
    kronax::test::ScopedPorts ports_;
};

} // namespace kronax::cli::testing
