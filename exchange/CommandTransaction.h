#pragma once

#include "exchange/PortRecord.h"
#include "exchange/TickSource.h"
#include "exchange/TrafficLog.h"
#include "link/CommandPort.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kronax {

// The most of one reply that is kept and logged. Far beyond any answer of the board; it bounds
// what a device flooding the line without a CR can make the program hold and log.
inline constexpr std::size_t MaxReplyKept = 4096;

// How long after an exchange that got no CR its late answer is still told from the next
// command's answer: as late again as the board's time-out itself.
inline constexpr std::uint32_t LateAnswerGuardMs = 1000;

// The longest a record left by another run makes an exchange listen: a 1000 ms exchange under
// way and its guard. Bounds what a wall clock set back can cost.
inline constexpr std::uint32_t LongestInheritedGuardMs = 2000;

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
// queries or writes of the same length could not tell). The rule: an answer completed within
// LateAnswerGuardMs after its exchange ended is never taken for another command's answer.
// - After an exchange that ended without a CR, the next exchange first reads what has arrived and
//   goes on listening until a CR arrives or the guard has passed; what it read is the earlier
//   command's late answer, thrown away and logged as such (LateAnswerLogLine). Only then are the
//   queues cleared and the command sent.
// - A whole guard passed with nothing arriving shows a silent board rather than a late one: the
//   following exchanges send at once, and the first line completed within the earlier guard is
//   taken for the earlier command's late answer, the next one for the exchange's own. This holds
//   until a character arrives, so a silent board pays for one guard per sequence.
// - Across runs: the port's record (IPortRecords) holds the command of the last exchange from
//   before its write until its CR arrives and the sequence is settled (Settle), with the time its
//   exchange ended or will end. The first exchange after each opening of the port honours the
//   rest of that command's guard, so a later run of kronax or the window, or the same one after
//   a killed run, keeps the rule. A port whose last exchange got its CR has nothing pending in
//   its settled record and costs nothing; a run killed before it settled costs the next one at
//   most the rest of that guard.
// An exchange that got its CR leaves no wait behind. An answer later than the guard is cleared
// with the other stale characters when it arrives before the next command; one arriving after
// the next command was sent is taken for its answer.
class CommandTransaction {
public:
    // port, ticks, log and records must outlive the transaction object.
    CommandTransaction(ICommandPort& port, const ITickSource& ticks, ITrafficLog& log,
                       IPortRecords& records = SystemPortRecords());
    // Settles the record.
    ~CommandTransaction();
    CommandTransaction(const CommandTransaction&) = delete;
    CommandTransaction& operator=(const CommandTransaction&) = delete;

    // The sequence of exchanges is over for now: a record naming a command that got its CR is
    // cleared, if the port is still open as it was for that command. On the thread that owns
    // the port only.
    void Settle();

    // Clears the port's queues, sends command unchanged and collects what arrives until it holds
    // a CR or more than timeout ms have passed since the write ended (at least one read is made;
    // a negative timeout ends the wait at the first read that brings no CR, a zero one at the
    // first such read after the tick count has moved on). After each read that leaves the answer
    // incomplete it waits in the port until a character arrives or the time left has passed. reply
    // gets everything collected, characters after the CR included, cut to MaxReplyKept characters;
    // it is empty when the port is closed. Returns true when a CR arrived. Logs one line unless
    // the port is closed, preceded by a late-answer line when one was discarded (see above).
    // Raises whatever the port raises (ESerialPort), marked AfterCommandSent once the command
    // went out; nothing more is logged then. On the thread
    // that owns the port only.
    bool TransactCommand(const std::string& command, std::string& reply, std::int32_t timeout);

private:
    struct Collected;
    // A command whose answer is still awaited for guardMs from fromTick.
    struct Unanswered {
        std::string command;
        std::uint32_t fromTick;
        std::uint32_t guardMs;
    };

    // Reads into reply until it holds a CR or more than limit ms have passed since start;
    // returns the tick count at which it stopped.
    std::uint32_t Collect(Collected& reply, std::uint32_t start, std::int32_t limit);
    void FollowOpening();
    // Returns the unanswered command whose late answer is to be told apart within the exchange.
    std::optional<Unanswered> ListenForLateAnswer();
    std::uint32_t SplitOffLateAnswer(const Unanswered& earlier, Collected& collected,
                                     std::uint32_t start, std::uint32_t end, std::int32_t timeout,
                                     std::uint32_t& guardMs);
    void RecordSending(const std::string& command, std::int32_t timeout);
    void RecordOutcome(const std::string& command, bool found, std::uint32_t end,
                       std::uint32_t guardMs);

    ICommandPort& port_;
    const ITickSource& ticks_;
    ITrafficLog& log_;
    IPortRecords& records_;
    PortOpening opening_;
    std::unique_ptr<IPortRecord> record_;
    std::optional<Unanswered> unanswered_;
    bool silent_ = false;
    // The record still names the last command, which got its CR.
    bool clearOwed_ = false;
};

} // namespace kronax
