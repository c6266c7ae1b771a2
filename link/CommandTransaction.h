#pragma once

#include "link/CommandPort.h"
#include "link/TickSource.h"
#include "link/TrafficLog.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kronax {

// The most of one reply that is kept and logged. Far beyond any answer of the board; it bounds
// what a device flooding the line without a CR can make the program hold and log.
inline constexpr std::size_t MaxReplyKept = 4096;

// How long after an exchange that got no CR the next exchange listens for its late answer.
inline constexpr std::uint32_t LateAnswerGuardMs = 450;

// The traffic-log line of one exchange: command, " | ", reply, with every CR shown as a
// backslash followed by "r". No other character is changed.
std::string TrafficLogLine(const std::string& command, const std::string& reply);

// The traffic-log line of a late answer to command that was read and thrown away:
// "(late answer to " command " discarded) | " answer, CRs shown as in TrafficLogLine.
std::string LateAnswerLogLine(const std::string& command, const std::string& answer);

// What a log line gets appended when dropped characters of its reply were not kept: nothing
// when none were, otherwise " [cut: <dropped> more characters]".
std::string CutMark(std::uint64_t dropped);

// The blocking command exchange over the window's one port.
//
// Late answers. The board's answers carry no trace of the command they answer, so an answer
// that comes after its exchange gave up would pass for the answer to the next command (and
// queries or writes of the same length could not tell). The rule: after an exchange that ended
// without a CR, the next exchange on the port first reads what has arrived and goes on listening
// until a CR arrives or LateAnswerGuardMs have passed since the earlier exchange ended; what it
// read is the earlier command's late answer, thrown away and logged as such
// (LateAnswerLogLine). Only then are the queues cleared and the command sent. An exchange that
// got its CR leaves no such wait behind, and an answer later than the guard is cleared with the
// other stale characters when it arrives before the next command.
class TCommandTransaction {
public:
    // port, ticks and log must outlive the transaction object.
    TCommandTransaction(ICommandPort& port, const ITickSource& ticks, ITrafficLog& log);

    // Clears the port's queues, sends command unchanged and collects what arrives until it holds
    // a CR or more than timeout ms have passed since the write ended (at least one read is made;
    // a negative timeout ends the wait at the first read that brings no CR, a zero one at the
    // first such read after the tick count has moved on). After each read that leaves the answer
    // incomplete it waits in the port until a character arrives or the time left has passed. reply
    // gets everything collected, characters after the CR included, cut to MaxReplyKept characters;
    // it is empty when the port is closed. Returns true when a CR arrived. Logs one line unless
    // the port is closed, preceded by a late-answer line when one was discarded (see above).
    // Raises whatever the port raises (ESerialPort); nothing more is logged then. On the thread
    // that owns the port only.
    bool TransactCommand(const std::string& command, std::string& reply, std::int32_t timeout);

private:
    struct Collected;
    struct Unanswered {
        std::string command;
        std::uint32_t endTick;
    };

    // Reads into reply until it holds a CR or more than limit ms have passed since start;
    // returns the tick count at which it stopped.
    std::uint32_t Collect(Collected& reply, std::uint32_t start, std::int32_t limit);
    void DiscardLateAnswer();

    ICommandPort& port_;
    const ITickSource& ticks_;
    ITrafficLog& log_;
    std::optional<Unanswered> unanswered_;
};

} // namespace kronax
