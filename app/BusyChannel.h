#pragma once

#include "protocol/CommandChannel.h"

namespace kronax {

// The window's command channel. A command blocks the window until its answer or its time-out,
// so the first command of a sequence shows the wait cursor; the sequence ends when the handler
// that ran it returns. UI thread only.
class BusyChannel : public ICommandChannel {
public:
    // channel must outlive this object.
    explicit BusyChannel(ICommandChannel& channel) : channel_(channel) {}
    ~BusyChannel() override;
    BusyChannel(const BusyChannel&) = delete;
    BusyChannel& operator=(const BusyChannel&) = delete;

    bool TransactCommand(const std::string& command, std::string& reply,
                         std::int32_t timeout) override;

    // Starts a sequence ahead of its first command: the wait cursor shows from now on.
    void BeginSequence();

    // When a command ran since the last call: restores the cursor and, with discardInput, drops
    // the keyboard and mouse input given meanwhile (InputDiscard.h).
    void EndSequence(bool discardInput);

private:
    ICommandChannel& channel_;
    bool busy_ = false;
};

} // namespace kronax
