#pragma once

#include <cstdint>
#include <optional>

namespace kronax {

// Blocks until the event stopSignal is set, or until the epoll set arrivalSet has an event,
// which it takes from the set. Returns that event's flags (EPOLLIN, EPOLLHUP, ...), or nothing
// once stopped or when the wait itself failed. Linux only: the line-event wait of the local and
// the network ports.
std::optional<std::uint32_t> WaitForArrival(int stopSignal, int arrivalSet);

} // namespace kronax
