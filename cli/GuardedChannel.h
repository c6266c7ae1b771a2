#pragma once

#include "link/SerialError.h"
#include "protocol/CommandChannel.h"

#include <functional>
#include <optional>

namespace kronax::cli {

// Passes exchanges on to the board's channel until the run is to stop: after a stop signal or
// after the port failed, every later command is neither sent nor answered (TransactCommand
// returns false with an empty reply), so a transfer under way ends with nothing more sent and
// its report keeps the lines of the exchanges that did happen. The thread that owns the port.
class GuardedChannel : public ICommandChannel {
public:
    // onSend, when set, hears every command just before it goes out.
    using SendListener = std::function<void(const std::string& command)>;

    explicit GuardedChannel(ICommandChannel& board, SendListener onSend = {})
        : board_(board), onSend_(std::move(onSend)) {}

    bool TransactCommand(const std::string& command, std::string& reply,
                         std::int32_t timeout) override;

    // The exchanges that were carried out to the end, answered or not.
    std::size_t Completed() const { return completed_; }
    // The port's failure, when an exchange raised one.
    const std::optional<ESerialPort>& Failure() const { return failure_; }
    // Whether the port failed after its command went out whole: that command was sent and got
    // no answer, and the board may hold it.
    bool FailedAfterSending() const { return failure_ && failure_->AfterCommandSent(); }
    // The stop signal that held a command back, or 0.
    int Interrupted() const { return interrupted_; }
    bool Stopped() const { return failure_ || interrupted_ != 0; }

private:
    ICommandChannel& board_;
    SendListener onSend_;
    std::size_t completed_ = 0;
    std::optional<ESerialPort> failure_;
    int interrupted_ = 0;
};

} // namespace kronax::cli
