#pragma once

#include <cstdint>
#include <string>

namespace kronax::sim {

// ser2net serving one device on the loopback address, over RFC 2217 or raw TCP, on a free port
// that stays its own across restarts; stopped with SIGTERM on destruction. Its configuration and
// pid file live in a private folder.
class Ser2netProcess {
public:
    Ser2netProcess(const std::string& devicePath, bool rfc2217);
    ~Ser2netProcess();
    Ser2netProcess(const Ser2netProcess&) = delete;
    Ser2netProcess& operator=(const Ser2netProcess&) = delete;

    // Starts it and waits (bounded) until it listens; does nothing while it runs.
    void Start();
    // Ends it with signal and waits for the exit; its connections go with it.
    void Stop(int signal);

    // rfc2217://127.0.0.1:<port> or socket://127.0.0.1:<port>.
    std::string Url() const;
    std::uint16_t Port() const { return port_; }

private:
    std::string folder_;
    bool rfc2217_;
    std::uint16_t port_;
    int pid_ = -1;
};

// A loopback TCP port nobody listens on at the moment of the call.
std::uint16_t FreeLoopbackPort();

} // namespace kronax::sim
