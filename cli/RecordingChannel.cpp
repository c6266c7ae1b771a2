#include "cli/RecordingChannel.h"

namespace kronax::cli {
namespace {

constexpr std::size_t ReplyFrame = 4; // "!SM" before the payload, CR after it

} // namespace

bool TRecordingChannel::TransactCommand(const std::string& command, std::string& reply,
                                        std::int32_t timeout) {
    lastAnswered_ = board_.TransactCommand(command, reply, timeout);
    lastReply_ = reply;
    for (std::size_t index = 0; index < PayloadKinds.size(); ++index) {
        const PayloadKind kind = PayloadKinds[index];
        if (command != "??SM" + std::string(KindName(kind)) + "\r")
            continue;
        const bool wellFormed = lastAnswered_ && reply.find("!SM") != std::string::npos &&
                                reply.size() == PayloadLength(kind) + ReplyFrame;
        queried_[index] =
            wellFormed ? std::optional(reply.substr(3, PayloadLength(kind))) : std::nullopt;
    }
    return lastAnswered_;
}

std::optional<std::string> TRecordingChannel::QueriedPayload(PayloadKind kind) const {
    for (std::size_t index = 0; index < PayloadKinds.size(); ++index)
        if (PayloadKinds[index] == kind)
            return queried_[index];
    return std::nullopt;
}

} // namespace kronax::cli
