#pragma once

#include "link/Deadline.h"
#include "link/SerialPlatform.h"

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <poll.h>
#include <sys/types.h>

// The write and read loops under a time limit that the local ports and the network ports share
// (Linux only, like both).
namespace kronax {

// Hands count bytes to fd, waiting with poll(POLLOUT) while it takes none, until all are taken
// or the limit passes. put(from, size) is the write() or send() of size bytes from offset from
// and returns what that call returns; done receives the bytes taken. Returns 0 (also when the
// limit passed), EIO when the line hung up, or the errno of the call that failed.
template <typename Put>
int PutWithin(int fd, std::size_t count, const TransferLimit& limit, std::size_t& done, Put put) {
    done = 0;
    while (done < count) {
        const ssize_t n = put(done, count - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return errno;
        if (limit.Passed())
            return 0;
        pollfd writable{fd, POLLOUT, 0};
        if (poll(&writable, 1, limit.PollMilliseconds()) < 0 && errno != EINTR)
            return errno;
        if (writable.revents & (POLLERR | POLLHUP | POLLNVAL))
            return EIO;
    }
    return 0;
}

// What one look at the input gives a read: nothing to end it yet, or its result (0 or an errno).
using ReadStep = std::optional<int>;

// Reads up to count bytes as the port's time-outs ask: take() moves what has arrived into the
// caller's buffer, adding to done, and may end the read; await(milliseconds) waits for more
// (-1: without a limit) and returns 0 or an errno. Ends with 0 once count bytes are in, at once
// when the time-outs say a read returns with what has arrived, or when the limit passes.
template <typename Take, typename Await>
int TakeWithin(const SerialTimeouts& timeouts, std::uint32_t count, std::uint32_t& done, Take take,
               Await await) {
    const TransferLimit limit = TransferLimit::After(timeouts.ReadLimit(count));
    const bool immediate = timeouts.ReadReturnsAtOnce();
    done = 0;
    for (;;) {
        if (const ReadStep ended = take())
            return *ended;
        if (done == count || immediate || limit.Passed())
            return 0;
        if (int error = await(limit.PollMilliseconds()))
            return error;
    }
}

} // namespace kronax
