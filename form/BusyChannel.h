#pragma once

#include "protocol/CommandChannel.h"

namespace kronax {

class IFormView;

// The window's command channel. A command blocks the window until its answer or its time-out,
// so the first command of a sequence shows the wait cursor; the sequence ends when the handler
// that ran it returns. UI thread only.
class BusyChannel : public ICommandChannel {
public:
    // channel must outlive this object.
    BusyChannel(ICommandChannel& channel, IFormView& view) : channel_(channel), view_(view) {}
    ~BusyChannel() override;
    BusyChannel(const BusyChannel&) = delete;
    BusyChannel& operator=(const BusyChannel&) = delete;

    bool TransactCommand(const std::string& command, std::string& reply,
                         std::int32_t timeout) override;

    // Starts a sequence ahead of its first command: the wait cursor shows from now on.
    void BeginSequence();

    // When a command ran since the last call: restores the cursor and, with discardInput, drops
    // the keyboard and mouse input given meanwhile.
    void EndSequence(bool discardInput);

    // Whether the last command sent got no answer (its time-out passed), until Forget.
    bool LastUnanswered() const { return lastUnanswered_; }
    // A new opening of the port: no command of it is unanswered yet.
    void Forget() { lastUnanswered_ = false; }

private:
    ICommandChannel& channel_;
    IFormView& view_;
    bool busy_ = false;
    bool lastUnanswered_ = false;
};

} // namespace kronax
