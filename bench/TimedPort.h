#pragma once

#include "link/CommandPort.h"

#include <chrono>
#include <vector>

namespace kronax::bench {

using Clock = std::chrono::steady_clock;

// One call made through a TimedPort, with the steady-clock instants it was entered and left.
struct TimedCall {
    enum class Kind { Purge, Write, Read, Wait };
    Kind kind;
    Clock::time_point entry;
    Clock::time_point exit;
    bool broughtCr = false; // a read whose bytes hold a CR
};

// Passes every call on to another port and records when each one ran, so that the time the
// transaction spends between the board's answer and its next command can be measured from
// outside it. Same thread rules as the port it wraps.
class TimedPort : public ICommandPort {
public:
    // inner must outlive this object.
    explicit TimedPort(ICommandPort& inner);

    bool Connected() const override { return inner_.Connected(); }
    void PurgeBuffers(bool input, bool output) override;
    int WriteText(const std::string& text) override;
    int ReadText(std::string& text, int count) override;
    void WaitForInput(std::uint32_t milliseconds) override;
    PortOpening Opening() const override { return inner_.Opening(); }

    // Every call since the last Clear, in call order.
    const std::vector<TimedCall>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }

private:
    ICommandPort& inner_;
    std::vector<TimedCall> calls_;
};

} // namespace kronax::bench
