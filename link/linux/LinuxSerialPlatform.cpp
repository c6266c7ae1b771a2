// The serial platform of Linux: termios on a tty or pseudo-terminal. Calls map as follows.
//   OpenDevice       open(O_RDWR|O_NOCTTY|O_NONBLOCK) of the device the name maps to, refused
//                    unless a tty; flock(LOCK_EX|LOCK_NB) and TIOCEXCL for exclusive use (EBUSY
//                    when another program holds it); an edge-triggered epoll set for line events
//   CloseDevice      tcflush of both queues, then close (never retried)
//   SetupQueues      nothing to size: the kernel's queues are fixed
//   SetLineSettings  raw termios from the record (speed, size, parity, stop bits, RTS/CTS and
//                    Xon/Xoff only when asked, VMIN 0 VTIME 0), then DTR and RTS set or cleared
//                    with TIOCMBIS/TIOCMBIC; a pseudo-terminal refusing those is not an error
//   SetTimeouts      kept for Read and Write
//   Purge            tcflush for the clear flags; transfers never stay pending, so the abort
//                    flags have nothing to abort
//   Write            write() until every byte is taken or the write time-out (multiplier x n +
//                    constant) runs out, waiting with poll(POLLOUT)
//   Read             one non-blocking read() of what is queued; a hung-up line is EIO (an
//                    empty read is checked with a poll, as a hang-up also reads 0 bytes)
//   WaitForInput     poll(POLLIN) with the time limit; a hung-up line is EIO
//   ClearErrors      FIONREAD for the queue count; frame, parity, overrun, break and buffer
//                    overrun from the TIOCGICOUNT counters where the driver keeps them
//   GetModemStatus   TIOCMGET; a device without modem lines reads as all lines off
//   SetEventMask     kept for WaitLineEvent
//   WaitLineEvent    poll() on the stop signal and the epoll set, which reports each arrival
//                    of bytes once (edge-triggered), so unread bytes cause no repeated events
//   NewEvent etc.    eventfd, which stays readable once set (manual reset)
//   OpenDeviceMap    a snapshot of the present port names (see LinuxPortNames.h)
// The system's platform puts ports behind network serial servers in front of it (see
// NetworkSerialPlatform.h).
#include "link/PortNameLists.h"
#include "link/SerialPlatform.h"
#include "link/SerialTypes.h"
#include "link/linux/LinuxArrivalWait.h"
#include "link/linux/LinuxPortNames.h"
#include "link/linux/LinuxTransferLoops.h"
#include "link/network/NetworkSerialPlatform.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <limits>
#include <linux/serial.h>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kronax {
namespace {

struct Device {
    int fd = -1;
    int epollFd = -1;
    SerialTimeouts timeouts;
    std::uint32_t eventMask = 0;
    serial_icounter_struct counters{};
    bool keepsCounters = false; // the driver answers TIOCGICOUNT (a pseudo-terminal does not)
};

bool IsRefusedModemCall(int error) {
    return error == ENOTTY || error == EINVAL || error == ENOTSUP || error == EIO;
}

speed_t SpeedOf(std::uint32_t baudRate) {
    switch (baudRate) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B0;
    }
}

int FillTermios(termios& t, const SerialDcb& dcb) {
    speed_t speed = SpeedOf(dcb.BaudRate);
    if (speed == B0 || dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > 4 || dcb.StopBits > 2)
        return EINVAL;
    cfmakeraw(&t);
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    constexpr tcflag_t Sizes[] = {CS5, CS6, CS7, CS8};
    constexpr tcflag_t Parities[] = {0, PARENB | PARODD, PARENB, PARENB | PARODD | CMSPAR,
                                     PARENB | CMSPAR};
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD | Sizes[dcb.ByteSize - 5] | Parities[dcb.Parity];
    if (dcb.StopBits != 0)
        t.c_cflag |= CSTOPB;
    if (DcbHardwareFlow(dcb.Flags))
        t.c_cflag |= CRTSCTS;
    if (DcbFlag(dcb.Flags, DcbParityCheck))
        t.c_iflag |= INPCK;
    if (DcbFlag(dcb.Flags, DcbOutX))
        t.c_iflag |= IXON;
    if (DcbFlag(dcb.Flags, DcbInX))
        t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return 0;
}

// Sets or clears one modem output line; a device without modem lines is left alone.
int SetModemLine(int fd, int line, bool on) {
    if (ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0 || IsRefusedModemCall(errno))
        return 0;
    return errno;
}

// With VMIN and VTIME 0 an empty read returns 0 like end of file; only a hang-up is an error.
bool HungUp(int fd) {
    pollfd state{fd, 0, 0};
    return poll(&state, 1, 0) == 1 && (state.revents & (POLLHUP | POLLERR | POLLNVAL));
}

// Waits until fd has bytes to read or milliseconds (-1: no limit) have passed; EIO at once when
// the line has hung up with nothing left to read. An interrupted wait is an early return, which
// callers take as "look again".
int WaitReadable(int fd, int milliseconds) {
    pollfd readable{fd, POLLIN, 0};
    if (poll(&readable, 1, milliseconds) < 0)
        return errno == EINTR ? 0 : errno;
    int queued = 0;
    if ((readable.revents & (POLLHUP | POLLERR | POLLNVAL)) &&
        (ioctl(fd, FIONREAD, &queued) != 0 || queued == 0))
        return EIO;
    return 0;
}

class LinuxSerialPlatform : public ISerialPlatform {
public:
    int OpenDevice(const std::string& portName, DeviceHandle& device) override {
        auto path = posix::DevicePathOf(portName);
        if (!path)
            return ENOENT;
        int fd = open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return errno;
        if (int error = Prepare(fd)) {
            close(fd);
            return error;
        }
        auto state = std::make_shared<Device>();
        state->fd = fd;
        if (int error = WatchArrivals(*state)) {
            close(fd);
            return error;
        }
        state->keepsCounters = ioctl(fd, TIOCGICOUNT, &state->counters) == 0;
        std::lock_guard lock(mutex_);
        devices_[fd] = state;
        device = fd;
        return 0;
    }

    int CloseDevice(DeviceHandle device) override {
        std::shared_ptr<Device> state;
        {
            std::lock_guard lock(mutex_);
            auto found = devices_.find(device);
            if (found == devices_.end())
                return EBADF;
            state = found->second;
            devices_.erase(found);
        }
        // Like a closed Windows handle, a closed port leaves nothing queued in either direction.
        tcflush(state->fd, TCIOFLUSH);
        ioctl(state->fd, TIOCNXCL);
        close(state->epollFd);
        // Never retried: the descriptor is gone even when close reports an error.
        return close(state->fd) == 0 ? 0 : errno;
    }

    int SetupQueues(DeviceHandle device, std::uint32_t, std::uint32_t) override {
        return Find(device) ? 0 : EBADF;
    }

    int SetLineSettings(DeviceHandle device, const SerialDcb& dcb) override {
        auto state = Find(device);
        if (!state)
            return EBADF;
        termios t{};
        if (tcgetattr(state->fd, &t) != 0)
            return errno;
        if (int error = FillTermios(t, dcb))
            return error;
        if (tcsetattr(state->fd, TCSANOW, &t) != 0)
            return errno;
        // DTR and RTS are on only for "enable" (1) and the handshakes (2, 3).
        if (int error =
                SetModemLine(state->fd, TIOCM_DTR, DcbField(dcb.Flags, DcbDtrControlShift) != 0))
            return error;
        return SetModemLine(state->fd, TIOCM_RTS, DcbField(dcb.Flags, DcbRtsControlShift) != 0);
    }

    int SetTimeouts(DeviceHandle device, const SerialTimeouts& timeouts) override {
        std::lock_guard lock(mutex_);
        auto found = devices_.find(device);
        if (found == devices_.end())
            return EBADF;
        found->second->timeouts = timeouts;
        return 0;
    }

    int Purge(DeviceHandle device, std::uint32_t flags) override {
        auto state = Find(device);
        if (!state)
            return EBADF;
        bool input = flags & PurgeRxClear;
        bool output = flags & PurgeTxClear;
        if (!input && !output)
            return 0;
        int queue = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
        return tcflush(state->fd, queue) == 0 ? 0 : errno;
    }

    int Write(DeviceHandle device, const char* data, std::uint32_t count, EventHandle,
              std::uint32_t& done) override {
        auto state = Find(device);
        if (!state)
            return EBADF;
        const int fd = state->fd;
        std::size_t taken = 0;
        const int error =
            PutWithin(fd, count, TransferLimit::After(state->timeouts.WriteLimit(count)), taken,
                      [fd, data](std::size_t from, std::size_t size) {
                          return write(fd, data + from, size);
                      });
        done = static_cast<std::uint32_t>(taken);
        return error;
    }

    int Read(DeviceHandle device, char* data, std::uint32_t count, EventHandle,
             std::uint32_t& done) override {
        auto state = Find(device);
        if (!state)
            return EBADF;
        const int fd = state->fd;
        const auto take = [fd, data, count, &done]() -> ReadStep {
            for (;;) {
                const ssize_t n = read(fd, data + done, count - done);
                if (n > 0)
                    done += static_cast<std::uint32_t>(n);
                else if (n == 0 && HungUp(fd))
                    return EIO;
                else if (n < 0 && errno == EINTR)
                    continue;
                else if (n < 0 && errno != EAGAIN)
                    return errno;
                return std::nullopt;
            }
        };
        return TakeWithin(state->timeouts, count, done, take,
                          [fd](int milliseconds) { return WaitReadable(fd, milliseconds); });
    }

    int WaitForInput(DeviceHandle device, EventHandle, std::uint32_t milliseconds) override {
        auto state = Find(device);
        if (!state)
            return EBADF;
        constexpr std::uint32_t Longest = std::numeric_limits<int>::max();
        return WaitReadable(state->fd, static_cast<int>(std::min(milliseconds, Longest)));
    }

    int ClearErrors(DeviceHandle device, std::uint32_t& errors,
                    std::uint32_t& inputQueued) override {
        auto state = Find(device);
        if (!state)
            return EBADF;
        int queued = 0;
        if (ioctl(state->fd, FIONREAD, &queued) != 0)
            return errno;
        inputQueued = static_cast<std::uint32_t>(queued);
        errors = 0;
        serial_icounter_struct now{};
        if (state->keepsCounters && ioctl(state->fd, TIOCGICOUNT, &now) == 0) {
            std::lock_guard lock(mutex_);
            serial_icounter_struct& last = state->counters;
            errors = (now.frame != last.frame ? CeFrame : 0) |
                     (now.parity != last.parity ? CeRxParity : 0) |
                     (now.overrun != last.overrun ? CeOverrun : 0) |
                     (now.brk != last.brk ? CeBreak : 0) |
                     (now.buf_overrun != last.buf_overrun ? CeRxOver : 0);
            last = now;
        }
        return 0;
    }

    int GetModemStatus(DeviceHandle device, std::uint32_t& status) override {
        auto state = Find(device);
        if (!state)
            return EBADF;
        int lines = 0;
        if (ioctl(state->fd, TIOCMGET, &lines) != 0) {
            if (!IsRefusedModemCall(errno))
                return errno;
            lines = 0;
        }
        status = (lines & TIOCM_CTS ? MsCtsOn : 0) | (lines & TIOCM_DSR ? MsDsrOn : 0) |
                 (lines & TIOCM_RI ? MsRingOn : 0) | (lines & TIOCM_CD ? MsRlsdOn : 0);
        return 0;
    }

    int SetEventMask(DeviceHandle device, std::uint32_t mask) override {
        std::lock_guard lock(mutex_);
        auto found = devices_.find(device);
        if (found == devices_.end())
            return EBADF;
        found->second->eventMask = mask;
        return 0;
    }

    LineWait WaitLineEvent(DeviceHandle device, EventHandle, EventHandle stopSignal,
                           std::uint32_t& mask) override {
        auto state = Find(device);
        if (!state)
            return LineWait::Stopped;
        for (;;) {
            const auto events = WaitForArrival(static_cast<int>(stopSignal), state->epollFd);
            if (!events)
                return LineWait::Stopped;
            if (*events & (EPOLLHUP | EPOLLERR))
                return LineWait::NotSignalled;
            if (EventMask(*state) & EvRxChar) {
                mask = EvRxChar;
                return LineWait::Signalled;
            }
        }
    }

    int NewEvent(bool initiallySet, EventHandle& event) override {
        int fd = eventfd(initiallySet ? 1 : 0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (fd < 0)
            return errno;
        event = fd;
        return 0;
    }

    int SignalEvent(EventHandle event) override {
        std::uint64_t one = 1;
        for (;;) {
            if (write(static_cast<int>(event), &one, sizeof one) == sizeof one)
                return 0;
            if (errno == EAGAIN)
                return 0; // the counter is already far above zero: set
            if (errno != EINTR)
                return errno;
        }
    }

    int CloseEvent(EventHandle event) override {
        return close(static_cast<int>(event)) == 0 ? 0 : errno;
    }

    int OpenDeviceMap(DeviceMapHandle& map) override {
        std::vector<std::string> names;
        if (int error = posix::PresentPortNames(names))
            return error;
        map = portNames_.Open(std::move(names));
        return 0;
    }

    int NextPortName(DeviceMapHandle map, std::uint32_t index, std::string& name) override {
        return portNames_.Next(map, index, name);
    }

    int CloseDeviceMap(DeviceMapHandle map) override { return portNames_.Close(map); }

private:
    std::shared_ptr<Device> Find(DeviceHandle device) {
        std::lock_guard lock(mutex_);
        auto found = devices_.find(device);
        return found == devices_.end() ? nullptr : found->second;
    }

    std::uint32_t EventMask(const Device& state) {
        std::lock_guard lock(mutex_);
        return state.eventMask;
    }

    static int Prepare(int fd) {
        if (!isatty(fd))
            return ENOTTY;
        if (flock(fd, LOCK_EX | LOCK_NB) != 0)
            return errno == EWOULDBLOCK ? EBUSY : errno;
        if (ioctl(fd, TIOCEXCL) != 0 && !IsRefusedModemCall(errno))
            return errno;
        return 0;
    }

    static int WatchArrivals(Device& state) {
        state.epollFd = epoll_create1(EPOLL_CLOEXEC);
        if (state.epollFd < 0)
            return errno;
        epoll_event interest{};
        interest.events = EPOLLIN | EPOLLET;
        interest.data.fd = state.fd;
        if (epoll_ctl(state.epollFd, EPOLL_CTL_ADD, state.fd, &interest) == 0)
            return 0;
        int error = errno;
        close(state.epollFd);
        return error;
    }

    std::mutex mutex_;
    std::map<DeviceHandle, std::shared_ptr<Device>> devices_;
    PortNameLists portNames_;
};

} // namespace

ISerialPlatform& SystemSerialPlatform() {
    static LinuxSerialPlatform ttys;
    static posix::NetworkSerialPlatform platform(ttys);
    return platform;
}

} // namespace kronax
