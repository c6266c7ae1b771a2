#pragma once

#include "link/SerialPlatform.h"
#include "link/network/NetworkPortName.h"
#include "link/network/TelnetCodec.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

namespace kronax::posix {

// One TCP connection to a network serial server, with the serial port's operations on it. A
// connection the server has ended, reset or let time out is a hung-up line: EIO, like a
// vanished device. Every operation returns 0 or an errno. Operations may come from the port's
// thread and its watcher thread; they take turns.
class NetworkConnection {
public:
    // Connects and, for RFC 2217, has the server take COM port control, both within the connect
    // time-out of 5 s: EPROTONOSUPPORT when the server does not speak Telnet (it never settles
    // the option), ENOPROTOOPT when it refuses COM port control, EBUSY when it hangs up instead.
    // An unknown host is ENXIO.
    int Connect(const NetworkPortAddress& address);
    ~NetworkConnection();

    // Sets speed, size, parity, stop bits, flow control and DTR/RTS as the record asks and
    // waits (bounded) for the server's answers; EINVAL when it settles on other values. Raw TCP
    // leaves the line to the server.
    int SetLineSettings(const SerialDcb& dcb);
    void SetTimeouts(const SerialTimeouts& timeouts);
    // Input: what has arrived is dropped, and over RFC 2217 the server's buffer is purged and
    // what it sent before its answer is dropped as well. Output: purged at the server (RFC 2217).
    int Purge(bool input, bool output);
    int Write(const char* data, std::uint32_t count, std::uint32_t& done);
    int Read(char* data, std::uint32_t count, std::uint32_t& done);
    int WaitForInput(std::uint32_t milliseconds);
    int QueuedInput(std::uint32_t& queued);
    // The modem lines the server last reported (0 when it reports none), as MsCtsOn etc.
    int ModemStatus(std::uint32_t& status);

    // Readable on every arrival of bytes (edge-triggered), for the watcher.
    int ArrivalFd() const { return epollFd_; }
    void SetEventMask(std::uint32_t mask);
    std::uint32_t EventMask();

private:
    using Clock = std::chrono::steady_clock;
    int Pump(Clock::time_point deadline);
    template <typename Done>
    int AwaitLocked(std::unique_lock<std::mutex>& lock, Clock::time_point deadline, Done done);
    int SendOwed(Clock::time_point deadline);
    int SendWire(const std::string& wire, std::size_t& sent, Clock::time_point deadline);
    int SendLocked(const std::string& wire, std::size_t& sent, Clock::time_point deadline);

    std::mutex mutex_;
    int fd_ = -1;
    int epollFd_ = -1;
    bool rfc2217_ = false;
    bool closed_ = false; // the connection is over, whoever ended it
    bool hungUp_ = false; // the server ended it
    telnet::Session session_;
    std::string inbox_;
    std::string owed_; // Telnet replies not yet taken by the server
    SerialTimeouts timeouts_;
    std::uint32_t eventMask_ = 0;
};

} // namespace kronax::posix
