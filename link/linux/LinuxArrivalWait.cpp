#include "link/linux/LinuxArrivalWait.h"

#include <cerrno>
#include <poll.h>
#include <sys/epoll.h>

namespace kronax {

std::optional<std::uint32_t> WaitForArrival(int stopSignal, int arrivalSet) {
    pollfd waits[2] = {{stopSignal, POLLIN, 0}, {arrivalSet, POLLIN, 0}};
    for (;;) {
        if (poll(waits, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (waits[0].revents)
            return std::nullopt;
        // Another waiter may have taken the event since poll saw it.
        epoll_event arrival{};
        if (epoll_wait(arrivalSet, &arrival, 1, 0) == 1)
            return std::uint32_t{arrival.events};
    }
}

} // namespace kronax
