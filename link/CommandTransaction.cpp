#include "link/CommandTransaction.h"

#include <algorithm>

namespace kronax {
namespace {

constexpr int ReadChunk = 1000;

std::uint32_t Elapsed(std::uint32_t start, std::uint32_t now) {
    // Unsigned 32-bit subtraction keeps the elapsed time right across a wrap of the counter.
    return now - start;
}

bool TimeOutPassed(std::uint32_t start, std::uint32_t now, std::int32_t timeout) {
    // The signed 64-bit comparison makes a negative time-out end the wait at once.
    return static_cast<std::int64_t>(Elapsed(start, now)) > static_cast<std::int64_t>(timeout);
}

// Until the first tick count at which the time-out has passed; only asked while it has not.
std::uint32_t TimeLeft(std::uint32_t start, std::uint32_t now, std::int32_t timeout) {
    return static_cast<std::uint32_t>(timeout) - Elapsed(start, now) + 1;
}

std::string WithVisibleCrs(const std::string& joined) {
    std::string line;
    line.reserve(joined.size() + 4);
    for (char c : joined) {
        if (c == '\r')
            line += "\\r";
        else
            line += c;
    }
    return line;
}

} // namespace

struct TCommandTransaction::Collected {
    std::string kept;
    std::uint64_t dropped = 0;
    bool found = false;

    void Add(const std::string& piece) {
        found = found || piece.find('\r') != std::string::npos;
        const std::size_t taken = std::min(piece.size(), MaxReplyKept - kept.size());
        kept.append(piece, 0, taken);
        dropped += piece.size() - taken;
    }
};

std::string TrafficLogLine(const std::string& command, const std::string& reply) {
    return WithVisibleCrs(command + " | " + reply);
}

std::string LateAnswerLogLine(const std::string& command, const std::string& answer) {
    return WithVisibleCrs("(late answer to " + command + " discarded) | " + answer);
}

std::string CutMark(std::uint64_t dropped) {
    return dropped == 0 ? std::string() : " [cut: " + std::to_string(dropped) + " more characters]";
}

TCommandTransaction::TCommandTransaction(ICommandPort& port, const ITickSource& ticks,
                                         ITrafficLog& log)
    : port_(port), ticks_(ticks), log_(log) {}

bool TCommandTransaction::TransactCommand(const std::string& command, std::string& reply,
                                          std::int32_t timeout) {
    reply.clear();
    if (!port_.Connected()) {
        // Closing the port dropped whatever late answer was on its way.
        unanswered_.reset();
        return false;
    }
    DiscardLateAnswer();
    port_.PurgeBuffers(true, true);
    port_.WriteText(command);
    Collected collected;
    const std::uint32_t end = Collect(collected, ticks_.TickCount(), timeout);
    reply = collected.kept;
    log_.AppendLine(TrafficLogLine(command, reply) + CutMark(collected.dropped));
    if (collected.found)
        unanswered_.reset();
    else
        unanswered_ = Unanswered{command, end};
    return collected.found;
}

std::uint32_t TCommandTransaction::Collect(Collected& reply, std::uint32_t start,
                                           std::int32_t limit) {
    std::string piece;
    for (;;) {
        port_.ReadText(piece, ReadChunk);
        reply.Add(piece);
        const std::uint32_t now = ticks_.TickCount();
        if (reply.found || TimeOutPassed(start, now, limit))
            return now;
        // Blocking in the port instead of polling again leaves the processor to others; the
        // port wakes the loop as soon as a character arrives, or at once when more is queued.
        port_.WaitForInput(TimeLeft(start, now, limit));
    }
}

void TCommandTransaction::DiscardLateAnswer() {
    if (!unanswered_)
        return;
    const Unanswered earlier = *unanswered_;
    unanswered_.reset();
    Collected late;
    Collect(late, earlier.endTick, static_cast<std::int32_t>(LateAnswerGuardMs));
    if (!late.kept.empty())
        log_.AppendLine(LateAnswerLogLine(earlier.command, late.kept) + CutMark(late.dropped));
}

} // namespace kronax
