#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kronax::sim {

// ser2net serving devices on the loopback address, over RFC 2217 or raw TCP, each on a free port
// that stays its own across restarts; stopped with SIGTERM on destruction. Its configuration and
// pid file live in a private folder.
class Ser2netProcess {
public:
    // charDelay false passes the device's bytes on as they come, instead of ser2net's default
    // short wait for more.
    Ser2netProcess(const std::vector<std::string>& devicePaths, bool rfc2217,
                   bool charDelay = true);
    Ser2netProcess(const std::string& devicePath, bool rfc2217)
        : Ser2netProcess(std::vector<std::string>{devicePath}, rfc2217) {}
    ~Ser2netProcess();
    Ser2netProcess(const Ser2netProcess&) = delete;
    Ser2netProcess& operator=(const Ser2netProcess&) = delete;

    // Starts it and waits (bounded) until it listens; does nothing while it runs.
    void Start();
    // Ends it with signal and waits for the exit; its connections go with it.
    void Stop(int signal);

    // rfc2217://127.0.0.1:<port> or socket://127.0.0.1:<port> of the device at index.
    std::string Url(std::size_t index = 0) const;
    // Every device's URL, separated by commas: a --port list.
    std::string UrlList() const;

private:
    std::string folder_;
    bool rfc2217_;
    std::vector<std::uint16_t> ports_;
    int pid_ = -1;
};

// A loopback TCP port nobody listens on at the moment of the call.
std::uint16_t FreeLoopbackPort();

} // namespace kronax::sim
