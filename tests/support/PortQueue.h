#pragma once

#include "link/SerialPort.h"
#include "tests/support/HangLimit.h"

#include <chrono>
#include <cstdint>
#include <thread>

namespace kronax::test {

// The number of bytes waiting in the port's receive queue.
inline std::uint32_t Queued(const TSerialPort& port) {
    std::uint32_t errors = 0;
    std::uint32_t queued = 0;
    port.Platform().ClearErrors(port.Device(), errors, queued);
    return queued;
}

// Waits until count bytes wait in the port's receive queue; false when they never come.
inline bool WaitQueued(const TSerialPort& port, std::uint32_t count) {
    const auto end = std::chrono::steady_clock::now() + HangLimit;
    while (Queued(port) < count) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace kronax::test
