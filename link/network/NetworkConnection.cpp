#include "link/network/NetworkConnection.h"

#include "link/linux/LinuxTransferLoops.h"
#include "link/network/NameLookup.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kronax::posix {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// For the connection and the COM port negotiation together.
constexpr auto ConnectTimeout = milliseconds(5000);
// How long the server has to answer a setting or a purge, or to take what is sent without a
// time-out of its own.
constexpr auto AnswerTimeout = milliseconds(3000);
// What the connection holds for the reader, takes in at one go and owes the server are bounded,
// so that a server flooding it costs neither unbounded memory nor an unbounded wait: a full
// inbox leaves the rest to TCP's flow control, and a server that asks for more replies than it
// reads has lost the line.
constexpr std::size_t MaxInbox = 64 * 1024;
constexpr std::size_t MaxTakenAtOnce = 64 * 1024;
constexpr std::size_t MaxOwed = 64 * 1024;
// Keep-alive probes start after 5 s of silence, 2 s apart; 3 unanswered end the connection,
// as does data left unacknowledged for 10 s.
constexpr int KeepAliveIdleSeconds = 5;
constexpr int KeepAliveIntervalSeconds = 2;
constexpr int KeepAliveProbes = 3;
constexpr unsigned UnacknowledgedLimitMs = 10000;

// A peer gone in any way reads as a hung-up line.
int LineError(int error) {
    return error == ECONNRESET || error == EPIPE || error == ETIMEDOUT || error == ENOTCONN ||
                   error == EHOSTUNREACH
               ? EIO
               : error;
}

void SetSocketOptions(int fd) {
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &KeepAliveIdleSeconds, sizeof KeepAliveIdleSeconds);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &KeepAliveIntervalSeconds,
               sizeof KeepAliveIntervalSeconds);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &KeepAliveProbes, sizeof KeepAliveProbes);
    setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &UnacknowledgedLimitMs,
               sizeof UnacknowledgedLimitMs);
}

// Connects a non-blocking socket to one address before deadline; returns 0 or an errno.
int ConnectOne(const FoundAddress& address, Clock::time_point deadline, int& fd) {
    fd =
        socket(address.family, address.socketType | SOCK_NONBLOCK | SOCK_CLOEXEC, address.protocol);
    if (fd < 0)
        return errno;
    int error = 0;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address.address), address.size) != 0) {
        error = errno;
        pollfd writable{fd, POLLOUT, 0};
        while (error == EINPROGRESS || error == EINTR) {
            const int ready = poll(&writable, 1, MillisecondsUntil(deadline));
            if (ready == 0) {
                error = ETIMEDOUT;
            } else if (ready > 0) {
                socklen_t size = sizeof error;
                if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                    error = errno;
            } else if (errno != EINTR) {
                error = errno;
            }
        }
    }
    if (error != 0) {
        close(fd);
        fd = -1;
    }
    return error;
}

// The name is looked up within the same deadline as the connection: a name service that hangs
// is a server that does not answer.
int ConnectSocket(const NetworkPortAddress& address, Clock::time_point deadline, int& fd) {
    const NameLookupResult found = LookUpName(address.host, std::to_string(address.port), deadline);
    if (found.outcome == NameLookupResult::Outcome::TimedOut)
        return ETIMEDOUT;
    int error = ENXIO;
    for (std::size_t index = 0; index < found.addresses.size() && error != 0; ++index)
        error = ConnectOne(found.addresses[index], deadline, fd);
    return error;
}

// The SET-CONTROL values of the flow control and the DTR and RTS lines the record asks for.
std::string ControlCommands(const SerialDcb& dcb) {
    using namespace telnet;
    constexpr char NoFlow = 1, XonXoff = 2, Hardware = 3;
    constexpr char DtrOn = 8, DtrOff = 9, RtsOn = 11, RtsOff = 12;
    const char flow = DcbHardwareFlow(dcb.Flags)    ? Hardware
                      : DcbFlag(dcb.Flags, DcbOutX) ? XonXoff
                                                    : NoFlow;
    const bool dtr = DcbField(dcb.Flags, DcbDtrControlShift) != 0;
    const bool rts = DcbField(dcb.Flags, DcbRtsControlShift) != 0;
    return ComPortCommand(SetControl, {flow}) + ComPortCommand(SetControl, {dtr ? DtrOn : DtrOff}) +
           ComPortCommand(SetControl, {rts ? RtsOn : RtsOff});
}

} // namespace

NetworkConnection::~NetworkConnection() {
    if (epollFd_ >= 0)
        close(epollFd_);
    if (fd_ >= 0)
        close(fd_);
}

int NetworkConnection::Connect(const NetworkPortAddress& address) {
    const auto deadline = Clock::now() + ConnectTimeout;
    if (int error = ConnectSocket(address, deadline, fd_))
        return error;
    SetSocketOptions(fd_);
    epollFd_ = epoll_create1(EPOLL_CLOEXEC);
    if (epollFd_ < 0)
        return errno;
    epoll_event interest{};
    interest.events = EPOLLIN | EPOLLRDHUP | EPOLLET;
    if (epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd_, &interest) != 0)
        return errno;
    rfc2217_ = address.rfc2217;
    if (!rfc2217_)
        return 0;
    std::unique_lock lock(mutex_);
    std::size_t sent = 0;
    if (int error = SendLocked(session_.Begin(), sent, deadline))
        return error;
    // A server whose port is in use, by another client or one still closing, says so in text
    // and hangs up at once.
    // One that never settles the option, or floods the negotiation, does not speak Telnet: a raw
    // TCP port named rfc2217://, say.
    if (int error = AwaitLocked(lock, deadline, [this] { return session_.ComPortSettled(); }))
        return error == EIO && hungUp_              ? EBUSY
               : error == EIO || error == ETIMEDOUT ? EPROTONOSUPPORT
                                                    : error;
    return session_.ComPortAccepted() ? 0 : ENOPROTOOPT;
}

int NetworkConnection::SetLineSettings(const SerialDcb& dcb) {
    using namespace telnet;
    if (!rfc2217_)
        return 0;
    const std::string baudRate = BaudRateValue(dcb.BaudRate);
    const std::string size{static_cast<char>(dcb.ByteSize)};
    // The record counts parity from none = 0 and stop bits as 1, 1.5, 2; the option from none =
    // 1 and as 1, 2, 1.5.
    const std::string parity{static_cast<char>(dcb.Parity + 1)};
    constexpr char StopSizes[] = {1, 3, 2};
    if (dcb.StopBits > 2)
        return EINVAL;
    const std::string stopSize{StopSizes[dcb.StopBits]};
    const std::string wire = ComPortCommand(SetModemStateMask, {'\xFF'}) + ControlCommands(dcb) +
                             ComPortCommand(SetBaudRate, baudRate) +
                             ComPortCommand(SetDataSize, size) + ComPortCommand(SetParity, parity) +
                             ComPortCommand(SetStopSize, stopSize);
    std::unique_lock lock(mutex_);
    for (std::uint8_t command : {SetBaudRate, SetDataSize, SetParity, SetStopSize})
        session_.Forget(command);
    std::size_t sent = 0;
    const auto deadline = Clock::now() + AnswerTimeout;
    if (int error = SendWire(wire, sent, deadline))
        return error;
    // The server answers in order, so the last answer means all have come.
    if (int error =
            AwaitLocked(lock, deadline, [this] { return session_.Answer(SetStopSize) != nullptr; }))
        return error == ETIMEDOUT ? EIO : error;
    const bool settled =
        *session_.Answer(SetBaudRate) == baudRate && *session_.Answer(SetDataSize) == size &&
        *session_.Answer(SetParity) == parity && *session_.Answer(SetStopSize) == stopSize;
    return settled ? 0 : EINVAL;
}

void NetworkConnection::SetTimeouts(const SerialTimeouts& timeouts) {
    std::lock_guard lock(mutex_);
    timeouts_ = timeouts;
}

int NetworkConnection::Purge(bool input, bool output) {
    using namespace telnet;
    if (!input && !output)
        return 0;
    std::unique_lock lock(mutex_);
    if (!rfc2217_) {
        if (int error = Pump(Clock::now() + AnswerTimeout); error == 0 && input)
            inbox_.clear();
        return closed_ ? EIO : 0;
    }
    constexpr char ReceiveBuffer = 1, TransmitBuffer = 2, BothBuffers = 3;
    const char which = input && output ? BothBuffers : input ? ReceiveBuffer : TransmitBuffer;
    session_.Forget(PurgeData);
    std::size_t sent = 0;
    const auto deadline = Clock::now() + AnswerTimeout;
    if (int error = SendWire(ComPortCommand(PurgeData, {which}), sent, deadline))
        return error;
    if (int error =
            AwaitLocked(lock, deadline, [this] { return session_.Answer(PurgeData) != nullptr; }))
        return error == ETIMEDOUT ? EIO : error;
    if (input)
        inbox_.erase(0, std::min(session_.AnswerMark(PurgeData), inbox_.size()));
    return 0;
}

int NetworkConnection::Write(const char* data, std::uint32_t count, std::uint32_t& done) {
    std::unique_lock lock(mutex_);
    done = 0;
    if (closed_)
        return EIO;
    const std::uint64_t total = timeouts_.WriteLimit(count);
    const std::string wire = rfc2217_ ? telnet::Escape(data, count) : std::string(data, count);
    std::size_t sent = 0;
    // A write without a time-out of its own still ends: a server that takes nothing for as long
    // as a setting may take to answer has lost the line.
    const auto deadline = Clock::now() + (total != 0 ? milliseconds(total) : AnswerTimeout);
    int error = SendWire(wire, sent, deadline);
    if (error == 0 && total == 0 && sent < wire.size()) {
        closed_ = true;
        error = EIO;
    }
    done = static_cast<std::uint32_t>(rfc2217_ ? telnet::WholeBytesSent(data, count, sent) : sent);
    return error;
}

int NetworkConnection::Read(char* data, std::uint32_t count, std::uint32_t& done) {
    std::unique_lock lock(mutex_);
    // What the server is owed goes within the read's own limit, or the answer time-out without
    // one.
    const std::uint64_t total = timeouts_.ReadLimit(count);
    const auto deadline = Clock::now() + (total != 0 ? milliseconds(total) : AnswerTimeout);
    const auto take = [this, data, count, &done, deadline]() -> ReadStep {
        if (int error = Pump(deadline))
            return error;
        const auto size =
            static_cast<std::uint32_t>(std::min<std::size_t>(count - done, inbox_.size()));
        std::copy_n(inbox_.begin(), size, data + done);
        inbox_.erase(0, size);
        done += size;
        if (closed_)
            return done == 0 ? EIO : 0;
        return std::nullopt;
    };
    return TakeWithin(timeouts_, count, done, take, [this, &lock](int milliseconds) {
        lock.unlock();
        pollfd readable{fd_, POLLIN, 0};
        poll(&readable, 1, milliseconds);
        lock.lock();
        return 0;
    });
}

int NetworkConnection::WaitForInput(std::uint32_t milliseconds) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    {
        std::lock_guard lock(mutex_);
        if (int error = Pump(deadline))
            return error;
        if (!inbox_.empty())
            return 0;
        if (closed_)
            return EIO;
    }
    constexpr std::uint32_t Longest = std::numeric_limits<int>::max();
    pollfd readable{fd_, POLLIN, 0};
    if (poll(&readable, 1, static_cast<int>(std::min(milliseconds, Longest))) < 0 && errno != EINTR)
        return errno;
    std::lock_guard lock(mutex_);
    if (int error = Pump(deadline))
        return error;
    return inbox_.empty() && closed_ ? EIO : 0;
}

int NetworkConnection::QueuedInput(std::uint32_t& queued) {
    std::lock_guard lock(mutex_);
    const int error = Pump(Clock::now());
    queued = static_cast<std::uint32_t>(inbox_.size());
    return error;
}

int NetworkConnection::ModemStatus(std::uint32_t& status) {
    std::lock_guard lock(mutex_);
    const int error = Pump(Clock::now());
    status = session_.ModemState() & (MsCtsOn | MsDsrOn | MsRingOn | MsRlsdOn);
    return error;
}

void NetworkConnection::SetEventMask(std::uint32_t mask) {
    std::lock_guard lock(mutex_);
    eventMask_ = mask;
}

std::uint32_t NetworkConnection::EventMask() {
    std::lock_guard lock(mutex_);
    return eventMask_;
}

// Takes in what has arrived, without waiting and at most MaxTakenAtOnce bytes: the device's bytes
// go to the inbox until it is full, the Telnet replies are owed to the server and sent until
// deadline. EIO when the server owes too many. The mutex is held.
int NetworkConnection::Pump(Clock::time_point deadline) {
    char buffer[4096];
    std::size_t taken = 0;
    while (!closed_ && inbox_.size() < MaxInbox && taken < MaxTakenAtOnce) {
        const ssize_t count = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (count <= 0) {
            closed_ = hungUp_ = true; // an orderly end, a reset or a time-out alike
            break;
        }
        // Acknowledged at once, not up to 40 ms later: a server that leaves Nagle's algorithm
        // on holds its next small answer back until this acknowledgement.
        const int on = 1;
        setsockopt(fd_, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
        const auto size = static_cast<std::size_t>(count);
        taken += size;
        if (!rfc2217_) {
            inbox_.append(buffer, size);
            continue;
        }
        session_.Receive(buffer, size, inbox_, owed_);
        if (owed_.size() > MaxOwed) {
            closed_ = true;
            return EIO;
        }
    }
    return closed_ ? 0 : SendOwed(deadline);
}

// Takes in what arrives until done() holds, the server hangs up (EIO) or the deadline passes
// (ETIMEDOUT; a server that stops answering once connected counts as lost, EIO). The lock is
// released while waiting.
template <typename Done>
int NetworkConnection::AwaitLocked(std::unique_lock<std::mutex>& lock, Clock::time_point deadline,
                                   Done done) {
    for (;;) {
        if (int error = Pump(deadline))
            return error;
        if (done())
            return 0;
        if (closed_)
            return EIO;
        if (MillisecondsUntil(deadline) == 0)
            return ETIMEDOUT;
        lock.unlock();
        pollfd readable{fd_, POLLIN, 0};
        poll(&readable, 1, MillisecondsUntil(deadline));
        lock.lock();
    }
}

// Sends what the server is owed, until deadline; what is left stays owed. The mutex is held.
int NetworkConnection::SendOwed(Clock::time_point deadline) {
    std::size_t sent = 0;
    const int error = SendLocked(owed_, sent, deadline);
    owed_.erase(0, sent);
    return error;
}

// Sends wire after what the server is owed, so that no reply is cut by other bytes; sent is 0
// when the owed replies did not all go before the deadline. The mutex is held.
int NetworkConnection::SendWire(const std::string& wire, std::size_t& sent,
                                Clock::time_point deadline) {
    sent = 0;
    if (int error = SendOwed(deadline))
        return error;
    return owed_.empty() ? SendLocked(wire, sent, deadline) : 0;
}

// Sends all of wire, waiting while the socket is full, until the deadline; sent receives the
// bytes taken. One attempt is made even when the deadline has passed. The mutex is held.
int NetworkConnection::SendLocked(const std::string& wire, std::size_t& sent,
                                  Clock::time_point deadline) {
    const int error = PutWithin(fd_, wire.size(), TransferLimit(true, deadline), sent,
                                [this, &wire](std::size_t from, std::size_t size) {
                                    return send(fd_, wire.data() + from, size, MSG_NOSIGNAL);
                                });
    if (error == 0)
        return 0;
    closed_ = hungUp_ = true; // the server is gone, whichever call noticed
    return LineError(error);
}

} // namespace kronax::posix
