#include "bench/Turnaround.h"

#include <cstdio>
#include <fstream>
#include <optional>

namespace kronax::bench {
namespace {

double Microseconds(Clock::duration span) {
    return std::chrono::duration<double, std::micro>(span).count();
}

constexpr double MillisecondsPerDay = 24.0 * 3600 * 1000;

// The time of day in ms and the direction of a log line "YYYY-MM-DD HH:MM:SS.mmm RX text".
std::optional<std::pair<double, std::string>> ParseLogLine(const std::string& line) {
    int hours = 0, minutes = 0, seconds = 0, millis = 0;
    char direction[3] = {};
    if (std::sscanf(line.c_str(), "%*d-%*d-%*d %d:%d:%d.%d %2s", &hours, &minutes, &seconds,
                    &millis, direction) != 5)
        return std::nullopt;
    const double ms = ((hours * 60.0 + minutes) * 60.0 + seconds) * 1000.0 + millis;
    return std::make_pair(ms, std::string(direction));
}

} // namespace

std::vector<TurnaroundBracket> Turnarounds(const std::vector<TimedCall>& calls) {
    std::vector<TurnaroundBracket> brackets;
    Clock::time_point crArrivedAfter{};
    Clock::time_point crSeenBy{};
    bool awaitingNext = false;
    for (const TimedCall& call : calls) {
        if (call.kind == TimedCall::Kind::Write) {
            if (awaitingNext)
                brackets.push_back({Microseconds(call.entry - crSeenBy),
                                    Microseconds(call.exit - crArrivedAfter)});
            awaitingNext = false;
            crArrivedAfter = call.exit;
        } else if (call.kind == TimedCall::Kind::Read && !awaitingNext) {
            if (call.broughtCr) {
                crSeenBy = call.exit;
                awaitingNext = true;
            } else {
                crArrivedAfter = call.entry;
            }
        }
    }
    return brackets;
}

std::vector<double> TurnaroundsFromWakeUp(const std::vector<TimedCall>& calls) {
    std::vector<double> spans;
    std::optional<Clock::time_point> wokenAt;
    bool awaitingNext = false;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const TimedCall& call = calls[i];
        if (call.kind == TimedCall::Kind::Write) {
            if (awaitingNext && wokenAt)
                spans.push_back(Microseconds(call.exit - *wokenAt));
            awaitingNext = false;
            wokenAt.reset();
        } else if (call.kind == TimedCall::Kind::Read && call.broughtCr && !awaitingNext) {
            awaitingNext = true;
            if (i > 0 && calls[i - 1].kind == TimedCall::Kind::Wait)
                wokenAt = calls[i - 1].exit;
        }
    }
    return spans;
}

std::vector<double> PollPeriods(const std::vector<TimedCall>& calls) {
    std::vector<double> periods;
    std::optional<Clock::time_point> previousRead;
    for (const TimedCall& call : calls) {
        if (call.kind == TimedCall::Kind::Wait)
            continue;
        if (call.kind != TimedCall::Kind::Read) {
            previousRead.reset();
            continue;
        }
        if (previousRead)
            periods.push_back(Microseconds(call.entry - *previousRead));
        previousRead = call.entry;
    }
    return periods;
}

std::vector<double> SimLogTurnarounds(const std::string& simLogFile, int sequenceLength) {
    std::ifstream in(simLogFile);
    std::vector<double> received, sent;
    for (std::string line; std::getline(in, line);) {
        const auto entry = ParseLogLine(line);
        if (entry && entry->second == "RX")
            received.push_back(entry->first);
        else if (entry && entry->second == "TX")
            sent.push_back(entry->first);
    }
    std::vector<double> gaps;
    const auto length = static_cast<std::size_t>(sequenceLength);
    for (std::size_t n = 0; n + 1 < received.size() && n < sent.size(); ++n) {
        if (n % length == length - 1)
            continue;
        double gap = received[n + 1] - sent[n];
        if (gap < 0)
            gap += MillisecondsPerDay; // across midnight
        gaps.push_back(gap);
    }
    return gaps;
}

} // namespace kronax::bench
