#pragma once

#include "protocol/CommandChannel.h"
#include "protocol/PayloadKind.h"

#include <array>
#include <optional>
#include <string>

namespace kronax::cli {

// Passes every exchange on to the board's channel and keeps the last one, so that a command's
// outcome and a query's raw payload can be looked at afterwards.
class TRecordingChannel : public ICommandChannel {
public:
    explicit TRecordingChannel(ICommandChannel& board) : board_(board) {}

    bool TransactCommand(const std::string& command, std::string& reply,
                         std::int32_t timeout) override;

    bool LastAnswered() const { return lastAnswered_; }
    const std::string& LastReply() const { return lastReply_; }

    // The payload of the last answer to "??SM" + kind, when that answer had the form a read
    // takes: "!SM" somewhere, the payload from the fourth character, the CR.
    std::optional<std::string> QueriedPayload(PayloadKind kind) const;

private:
    ICommandChannel& board_;
    bool lastAnswered_ = false;
    std::string lastReply_;
    std::array<std::optional<std::string>, PayloadKinds.size()> queried_{};
};

} // namespace kronax::cli
