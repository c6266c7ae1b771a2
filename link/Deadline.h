#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>

namespace kronax {

// The milliseconds from now until deadline as poll() takes them: rounded up, so that a wait
// never ends just before the deadline; 0 once it has passed, and never more than an int holds.
inline int MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(
        std::clamp<long long>(left.count(), 0, std::numeric_limits<int>::max()));
}

// The time limit of one read or write: a deadline, or none.
class TransferLimit {
public:
    TransferLimit(bool limited, std::chrono::steady_clock::time_point deadline)
        : limited_(limited), deadline_(deadline) {}

    // Ends milliseconds from now, as the port's time-outs give them: 0 means no limit.
    static TransferLimit After(std::uint64_t milliseconds) {
        return {milliseconds != 0,
                std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds)};
    }

    bool Passed() const { return limited_ && MillisecondsUntil(deadline_) == 0; }

    // What is left of the limit for poll(): -1 when there is none.
    int PollMilliseconds() const { return limited_ ? MillisecondsUntil(deadline_) : -1; }

private:
    bool limited_;
    std::chrono::steady_clock::time_point deadline_;
};

} // namespace kronax
