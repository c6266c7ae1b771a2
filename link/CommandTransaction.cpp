#include "link/CommandTransaction.h"

#include <thread>

namespace kronax {
namespace {

constexpr int ReadChunk = 1000;

bool TimeOutPassed(std::uint32_t start, std::uint32_t now, std::int32_t timeout) {
    // Unsigned 32-bit subtraction keeps the elapsed time right across a wrap of the counter;
    // the signed 64-bit comparison makes a negative time-out end the wait at once.
    const std::uint32_t elapsed = now - start;
    return static_cast<std::int64_t>(elapsed) > static_cast<std::int64_t>(timeout);
}

} // namespace

std::string TrafficLogLine(const std::string& command, const std::string& reply) {
    const std::string joined = command + " | " + reply;
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

TCommandTransaction::TCommandTransaction(ICommandPort& port, const ITickSource& ticks,
                                         ITrafficLog& log)
    : port_(port), ticks_(ticks), log_(log) {}

bool TCommandTransaction::TransactCommand(const std::string& command, std::string& reply,
                                          std::int32_t timeout) {
    reply.clear();
    if (!port_.Connected())
        return false;
    port_.PurgeBuffers(true, true);
    port_.WriteText(command);
    const bool found = CollectReply(reply, timeout);
    log_.AppendLine(TrafficLogLine(command, reply));
    return found;
}

bool TCommandTransaction::CollectReply(std::string& reply, std::int32_t timeout) {
    const std::uint32_t start = ticks_.TickCount();
    std::string piece;
    for (;;) {
        const int count = port_.ReadText(piece, ReadChunk);
        reply += piece;
        const bool found = reply.find('\r') != std::string::npos;
        const std::uint32_t now = ticks_.TickCount();
        if (found)
            return true;
        if (TimeOutPassed(start, now, timeout))
            return false;
        // The poll goes on without a pause, so the answer's CR is seen within microseconds; a
        // sleep would be stretched to milliseconds by the scheduler now and then. Yielding after
        // an empty read lets other threads run on a busy machine.
        if (count == 0)
            std::this_thread::yield();
    }
}

} // namespace kronax
