#include "sim/Ser2netProcess.h"

#include "sim/ArgumentVector.h"
#include "sim/ScratchFolder.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace kronax::sim {
namespace {
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto ListenDeadline = std::chrono::seconds(10);

std::string Ser2netProgram() {
    for (const char* path : {"/usr/sbin/ser2net", "/usr/bin/ser2net"})
        if (access(path, X_OK) == 0)
            return path;
    throw std::runtime_error("ser2net is not installed (scripts/install-deps installs it)");
}

// Whether a socket listens on 127.0.0.1:port, from the kernel's table, which a probing
// connection would not leave alone: ser2net opens the device for every connection.
bool Listening(std::uint16_t port) {
    std::ifstream table("/proc/net/tcp");
    std::ostringstream wanted;
    wanted << "0100007F:" << std::uppercase << std::hex;
    wanted.width(4);
    wanted.fill('0');
    wanted << port;
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        if (local == wanted.str() && state == "0A")
            return true;
    }
    return false;
}

} // namespace

std::uint16_t FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        if (fd >= 0)
            close(fd);
        throw std::runtime_error("no free loopback port");
    }
    close(fd);
    return ntohs(address.sin_port);
}

Ser2netProcess::Ser2netProcess(const std::vector<std::string>& devicePaths, bool rfc2217,
                               bool charDelay)
    : folder_(NewScratchFolder("kronax-ser2net")), rfc2217_(rfc2217) {
    std::ofstream config(folder_ + "/ser2net.yaml");
    for (std::size_t index = 0; index < devicePaths.size(); ++index) {
        std::uint16_t port = FreeLoopbackPort();
        while (std::find(ports_.begin(), ports_.end(), port) != ports_.end())
            port = FreeLoopbackPort();
        ports_.push_back(port);
        config << "connection: &board" << index << "\n"
               << "  accepter: " << (rfc2217 ? "telnet(rfc2217),tcp," : "tcp,") << "127.0.0.1,"
               << ports_.back() << "\n"
               << "  connector: serialdev," << devicePaths[index] << ",9600n81,local\n";
        if (!charDelay)
            config << "  options:\n    chardelay: false\n";
    }
    config.close();
    Start();
}

Ser2netProcess::~Ser2netProcess() {
    Stop(SIGTERM);
    std::error_code error;
    fs::remove_all(folder_, error);
}

void Ser2netProcess::Start() {
    if (pid_ >= 0)
        return;
    std::vector<std::string> args = {
        Ser2netProgram(),        "-n", "-u", "-c", folder_ + "/ser2net.yaml", "-P",
        folder_ + "/ser2net.pid"};
    std::vector<char*> argv = ArgumentVector(args);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int result = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        pid_ = -1;
        throw std::runtime_error("cannot start ser2net");
    }
    const auto end = Clock::now() + ListenDeadline;
    while (!std::all_of(ports_.begin(), ports_.end(), Listening)) {
        const bool ended = waitpid(pid_, nullptr, WNOHANG) == pid_;
        if (ended || Clock::now() >= end) {
            if (ended)
                pid_ = -1;
            Stop(SIGKILL);
            throw std::runtime_error("ser2net does not listen on its ports");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void Ser2netProcess::Stop(int signal) {
    if (pid_ < 0)
        return;
    kill(pid_, signal);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

std::string Ser2netProcess::Url(std::size_t index) const {
    return (rfc2217_ ? "rfc2217://127.0.0.1:" : "socket://127.0.0.1:") +
           std::to_string(ports_.at(index));
}

std::string Ser2netProcess::UrlList() const {
    std::string list;
    for (std::size_t index = 0; index < ports_.size(); ++index)
        list += (index > 0 ? "," : "") + Url(index);
    return list;
}

} // namespace kronax::sim
