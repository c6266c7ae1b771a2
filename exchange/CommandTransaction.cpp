#include "exchange/CommandTransaction.h"

#include "exchange/VisibleLineEnds.h"
#include "link/SerialError.h"

#include <algorithm>

namespace kronax {
namespace {

constexpr int ReadChunk = 1000;

// Ten characters of 10 bits each at the board's 9600 baud, rounded up.
constexpr std::int64_t MsPerTenCharacters = 11;

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

// What is left of the guard of an exchange that ended at endMs, at nowMs (both on the wall
// clock), at most LongestInheritedGuardMs; nothing when it has passed. A record's time is
// compared before any arithmetic, so that no date in it can overflow.
std::optional<std::uint32_t> InheritedGuardMs(std::int64_t endMs, std::int64_t nowMs) {
    if (endMs <= nowMs - LateAnswerGuardMs)
        return std::nullopt;
    const std::int64_t latestEnd = nowMs + (LongestInheritedGuardMs - LateAnswerGuardMs);
    return static_cast<std::uint32_t>(std::min(endMs, latestEnd) + LateAnswerGuardMs - nowMs);
}

} // namespace

struct CommandTransaction::Collected {
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

CommandTransaction::CommandTransaction(ICommandPort& port, const ITickSource& ticks,
                                       ITrafficLog& log, IPortRecords& records)
    : port_(port), ticks_(ticks), log_(log), records_(records) {}

CommandTransaction::~CommandTransaction() {
    Settle();
}

// Only while the port is still open as this program opened it: once it is closed, another
// program may be keeping the record.
void CommandTransaction::Settle() {
    if (clearOwed_ && record_ && port_.Connected() && port_.Opening() == opening_)
        record_->Clear();
    clearOwed_ = false;
}

bool CommandTransaction::TransactCommand(const std::string& command, std::string& reply,
                                         std::int32_t timeout) {
    reply.clear();
    if (!port_.Connected())
        return false;
    FollowOpening();
    const std::optional<Unanswered> earlier = ListenForLateAnswer();
    RecordSending(command, timeout);
    port_.PurgeBuffers(true, true);
    port_.WriteText(command);
    Collected collected;
    const std::uint32_t start = ticks_.TickCount();
    std::uint32_t end = 0;
    std::uint32_t guardMs = LateAnswerGuardMs;
    try {
        end = Collect(collected, start, timeout);
        silent_ = silent_ && collected.kept.empty();
        if (earlier)
            end = SplitOffLateAnswer(*earlier, collected, start, end, timeout, guardMs);
    } catch (ESerialPort& error) {
        error.SetAfterCommandSent();
        throw;
    }
    reply = collected.kept;
    log_.AppendLine(TrafficLogLine(command, reply) + CutMark(collected.dropped));
    if (collected.found)
        unanswered_.reset();
    else
        unanswered_ = Unanswered{command, end, guardMs};
    RecordOutcome(command, collected.found, end, guardMs);
    return collected.found;
}

std::uint32_t CommandTransaction::Collect(Collected& reply, std::uint32_t start,
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

// Another program may have used the device while the port was closed: what it left in the
// port's record replaces what this one knew.
// The guard belongs to the port it was set on: without a record, only a reopening of the same
// port keeps what this program knew.
void CommandTransaction::FollowOpening() {
    const PortOpening opening = port_.Opening();
    if (opening == opening_)
        return;
    if (opening.name != opening_.name)
        unanswered_.reset();
    opening_ = opening;
    silent_ = false;
    clearOwed_ = false;
    record_ = opening.name.empty() ? nullptr : records_.Open(opening.name);
    if (!record_)
        return;
    unanswered_.reset();
    const std::optional<PendingAnswer> pending = record_->Read();
    if (!pending)
        return;
    if (const auto guardMs = InheritedGuardMs(pending->endMs, records_.WallClockMs()))
        unanswered_ = Unanswered{pending->command, ticks_.TickCount(), *guardMs};
}

std::optional<CommandTransaction::Unanswered> CommandTransaction::ListenForLateAnswer() {
    if (!unanswered_)
        return std::nullopt;
    const Unanswered earlier = *unanswered_;
    unanswered_.reset();
    Collected late;
    if (silent_) {
        Collect(late, ticks_.TickCount(), -1);
        if (late.kept.empty())
            return earlier;
        silent_ = false;
    }
    Collect(late, earlier.fromTick, static_cast<std::int32_t>(earlier.guardMs));
    if (late.kept.empty())
        silent_ = true;
    else
        log_.AppendLine(LateAnswerLogLine(earlier.command, late.kept) + CutMark(late.dropped));
    return std::nullopt;
}

// Sent at once after a silent guard, the exchange may see the earlier command's late answer
// first: a line completed within the earlier guard is that answer, what follows is this one's.
// The board was then still busy with the earlier command when this one came, which delays this
// one's answer by as long: its guard grows by that time.
std::uint32_t CommandTransaction::SplitOffLateAnswer(const Unanswered& earlier,
                                                     Collected& collected, std::uint32_t start,
                                                     std::uint32_t end, std::int32_t timeout,
                                                     std::uint32_t& guardMs) {
    if (!collected.found ||
        TimeOutPassed(earlier.fromTick, end, static_cast<std::int32_t>(earlier.guardMs)))
        return end;
    guardMs += Elapsed(start, end);
    const std::size_t cr = collected.kept.find('\r');
    const std::size_t lineEnd = cr == std::string::npos ? collected.kept.size() : cr + 1;
    log_.AppendLine(LateAnswerLogLine(earlier.command, collected.kept.substr(0, lineEnd)) +
                    CutMark(cr == std::string::npos ? collected.dropped : 0));
    Collected own;
    own.Add(collected.kept.substr(lineEnd));
    own.dropped = cr == std::string::npos ? 0 : collected.dropped;
    collected = own;
    if (!collected.found && !TimeOutPassed(start, end, timeout))
        end = Collect(collected, start, timeout);
    return end;
}

// Written before the command leaves, so that a run killed during the exchange still leaves it.
void CommandTransaction::RecordSending(const std::string& command, std::int32_t timeout) {
    if (!record_)
        return;
    const std::int64_t lineMs =
        static_cast<std::int64_t>(command.size()) * MsPerTenCharacters / 10 + 1;
    record_->Write({command, records_.WallClockMs() + lineMs + std::max<std::int32_t>(timeout, 0)});
    clearOwed_ = false;
}

// An answered command stays in the record until the next command replaces it or the sequence
// is settled: a sequence writes its record once per command. A guard grown beyond the usual one
// is kept as a later end.
void CommandTransaction::RecordOutcome(const std::string& command, bool found, std::uint32_t end,
                                       std::uint32_t guardMs) {
    if (!record_)
        return;
    if (found)
        clearOwed_ = true;
    else
        record_->Write({command, records_.WallClockMs() - Elapsed(end, ticks_.TickCount()) +
                                     (guardMs - LateAnswerGuardMs)});
}

} // namespace kronax
