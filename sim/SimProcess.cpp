#include "sim/SimProcess.h"

#include "link/Deadline.h"
#include "sim/ArgumentVector.h"
#include "sim/ScratchFolder.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace kronax::sim {
namespace {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto StartDeadline = std::chrono::seconds(10);
constexpr int ResendStopMs = 1000;

std::string ReadFirstLine(int fd) {
    const auto end = Clock::now() + StartDeadline;
    std::string line;
    char c = 0;
    while (Clock::now() < end) {
        pollfd p = {fd, POLLIN, 0};
        if (poll(&p, 1, MillisecondsUntil(end)) <= 0)
            break;
        if (read(fd, &c, 1) != 1 || c == '\n')
            break;
        line += c;
    }
    return line;
}

} // namespace

SimProcess::SimProcess(const std::vector<std::string>& extraArgs, const std::string& portName)
    : folder_(NewScratchFolder("kronax-sim-test")), portName_(portName) {
    std::vector<std::string> args = {KRONAX_SIM_PATH, "--ports-dir", folder_, "--port", portName};
    args.insert(args.end(), extraArgs.begin(), extraArgs.end());
    std::vector<char*> argv = ArgumentVector(args);

    int out[2];
    if (pipe(out) != 0)
        throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const int result = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (result != 0) {
        close(out[0]);
        throw std::runtime_error("cannot start " + args[0]);
    }
    printedName_ = ReadFirstLine(out[0]);
    close(out[0]);
}

SimProcess::~SimProcess() {
    Stop(SIGTERM);
    std::error_code error;
    fs::remove_all(folder_, error);
}

// A runtime that defers signal handlers (ThreadSanitizer's) can lose a signal that reaches the
// simulator while it waits, so the signal goes again each second until the simulator has ended.
int SimProcess::Stop(int signal) {
    if (pid_ < 0)
        return 0;
    const auto ended = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
    kill(pid_, signal);
    if (ended >= 0) {
        pollfd exit = {ended, POLLIN, 0};
        while (poll(&exit, 1, ResendStopMs) == 0)
            kill(pid_, signal);
        close(ended);
    }
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return status;
}

PortClient::PortClient(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        throw std::runtime_error("cannot open " + path);
    termios settings{};
    tcgetattr(fd_, &settings);
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    tcsetattr(fd_, TCSANOW, &settings);
    tcflush(fd_, TCIOFLUSH);
}

PortClient::~PortClient() {
    close(fd_);
}

void PortClient::Write(const std::string& text) const {
    const auto end = Clock::now() + std::chrono::seconds(30);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t count = write(fd_, text.data() + done, text.size() - done);
        if (count > 0) {
            done += static_cast<std::size_t>(count);
            continue;
        }
        pollfd p = {fd_, POLLOUT, 0};
        if ((count < 0 && errno != EAGAIN && errno != EINTR) || Clock::now() >= end)
            throw std::runtime_error("cannot write to the simulator's port");
        poll(&p, 1, 100);
    }
}

std::string PortClient::ReadLine(std::chrono::milliseconds deadline) const {
    const auto end = Clock::now() + deadline;
    std::string text;
    while (text.find('\r') == std::string::npos && Clock::now() < end)
        text += ReadSome(std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()));
    return text;
}

std::string PortClient::ReadFor(std::chrono::milliseconds span) const {
    const auto end = Clock::now() + span;
    std::string text;
    while (Clock::now() < end)
        text += ReadSome(std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()));
    return text;
}

std::string PortClient::ReadSome(std::chrono::milliseconds deadline) const {
    pollfd p = {fd_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(std::max<long long>(deadline.count(), 0))) <= 0)
        return {};
    char buffer[256];
    const ssize_t count = read(fd_, buffer, sizeof buffer);
    return count > 0 ? std::string(buffer, static_cast<std::size_t>(count)) : std::string();
}

SimBoards::SimBoards(const std::string& folder,
                     const std::vector<std::vector<std::string>>& simArgs)
    : folder_(folder) {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    for (std::size_t index = 0; index < simArgs.size(); ++index) {
        const std::string name = "COM" + std::to_string(index + 1);
        boards_.push_back(std::make_unique<SimProcess>(simArgs[index], name));
        fs::create_symlink(boards_.back()->LinkPath(), folder_ + "/" + name);
    }
}

SimBoards::~SimBoards() {
    boards_.clear();
    std::error_code error;
    fs::remove_all(folder_, error);
}

std::string SimBoards::PortList() const {
    std::string list;
    for (std::size_t number = 1; number <= boards_.size(); ++number)
        list += (number > 1 ? "," : "") + ("COM" + std::to_string(number));
    return list;
}

} // namespace kronax::sim
