#include "bench/TimedPort.h"

namespace kronax::bench {

TimedPort::TimedPort(ICommandPort& inner) : inner_(inner) {
    // Room for every call of a run, so that recording never allocates while a reply is awaited.
    calls_.reserve(1 << 16);
}

void TimedPort::PurgeBuffers(bool input, bool output) {
    const Clock::time_point entry = Clock::now();
    inner_.PurgeBuffers(input, output);
    calls_.push_back({TimedCall::Kind::Purge, entry, Clock::now()});
}

int TimedPort::WriteText(const std::string& text) {
    const Clock::time_point entry = Clock::now();
    const int count = inner_.WriteText(text);
    calls_.push_back({TimedCall::Kind::Write, entry, Clock::now()});
    return count;
}

int TimedPort::ReadText(std::string& text, int count) {
    const Clock::time_point entry = Clock::now();
    const int got = inner_.ReadText(text, count);
    const Clock::time_point exit = Clock::now();
    calls_.push_back({TimedCall::Kind::Read, entry, exit, text.find('\r') != std::string::npos});
    return got;
}

void TimedPort::WaitForInput(std::uint32_t milliseconds) {
    const Clock::time_point entry = Clock::now();
    inner_.WaitForInput(milliseconds);
    calls_.push_back({TimedCall::Kind::Wait, entry, Clock::now()});
}

} // namespace kronax::bench
