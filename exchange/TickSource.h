#pragma once

#include <cstdint>

namespace kronax {

// A 32-bit millisecond counter that wraps around after 2^32 ms, like GetTickCount. Injected so
// that time-outs and label expiry can be driven by tests, across a wrap included.
class ITickSource {
public:
    virtual ~ITickSource() = default;

    // The current count in milliseconds; only differences between two readings mean anything.
    // Any thread may call it.
    virtual std::uint32_t TickCount() const = 0;
};

} // namespace kronax
