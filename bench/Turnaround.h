#pragma once

#include "bench/TimedPort.h"

#include <string>
#include <vector>

namespace kronax::bench {

// The tool's own time from the board's CR reaching the port to the next command leaving it, in
// microseconds, bracketed from the recorded calls. The CR arrived after the last read that did
// not bring it had begun (or after the write, when the first read brought it) and before the
// read that brought it ended; the next command left after its write began and before it ended.
struct TurnaroundBracket {
    double lowerUs; // next write's entry minus the CR read's exit
    double upperUs; // next write's exit minus the last read without the CR's entry
};

// One bracket for every reply with a CR that is followed by another command in calls.
std::vector<TurnaroundBracket> Turnarounds(const std::vector<TimedCall>& calls);

// For every reply whose CR was read right after a wait for input ended and that is followed by
// another command: the next write's exit minus that wait's exit, in microseconds. The wait ends
// when the CR reaches the port, so this is the turnaround less the time the system takes to
// wake the waiting thread.
std::vector<double> TurnaroundsFromWakeUp(const std::vector<TimedCall>& calls);

// The time between the starts of consecutive reads of one exchange, in microseconds: how often
// the transaction looks at the port while it waits (waits for input in between included).
std::vector<double> PollPeriods(const std::vector<TimedCall>& calls);

// From the simulator's log: for each pair of consecutive exchanges within a sequence of
// sequenceLength commands, the end of sending reply n to the receipt of command n + 1, in
// milliseconds (the log's time stamps are whole milliseconds). Lines that are not "RX" or "TX"
// entries are skipped.
std::vector<double> SimLogTurnarounds(const std::string& simLogFile, int sequenceLength);

} // namespace kronax::bench
