#include "protocol/BoardReplies.h"

#include "protocol/CommandFraming.h"

#include <algorithm>
#include <cstddef>

namespace kronax {
namespace {

constexpr std::size_t StatusLength = 9;
constexpr std::size_t FieldLength = 4;

CommandOutcome AcknowledgeOutcome(const std::string& reply) {
    if (ReplyHolds(reply, AcceptanceMarker))
        return CommandOutcome::Acknowledged;
    if (ReplyHolds(reply, RefusalMarker))
        return CommandOutcome::NotAcknowledged;
    return CommandOutcome::Unrecognised;
}

CommandOutcome AnsweredOutcome(BoardCommand command, const std::string& reply) {
    switch (command) {
    case BoardCommand::Start:
    case BoardCommand::PowerOnDefault:
        return AcknowledgeOutcome(reply);
    case BoardCommand::Status:
        return ReplyHolds(reply, ReplyMarker) ? CommandOutcome::Answered
                                              : CommandOutcome::Unrecognised;
    case BoardCommand::BoardInformation:
        break;
    }
    return CommandOutcome::Answered;
}

// Up to 4 characters starting at the 0-based position start, which may lie before the reply's
// first character; such a field starts at the first character instead.
std::string Field(const std::string& reply, std::ptrdiff_t start) {
    const std::size_t from = static_cast<std::size_t>(std::max<std::ptrdiff_t>(start, 0));
    return from < reply.size() ? reply.substr(from, FieldLength) : std::string();
}

} // namespace

CommandResult ClassifyReply(BoardCommand command, bool answered, std::string reply) {
    const CommandOutcome outcome =
        answered ? AnsweredOutcome(command, reply) : CommandOutcome::Timeout;
    return {command, outcome, std::move(reply)};
}

std::string BoardStatus(const CommandResult& result) {
    if (result.command != BoardCommand::Status || result.outcome != CommandOutcome::Answered)
        return {};
    return result.reply.substr(result.reply.find(ReplyMarker) + ReplyMarker.size(), StatusLength);
}

std::array<std::string, 4> BoardIdentity(const CommandResult& result) {
    std::array<std::string, 4> fields;
    const std::size_t cr = result.reply.find('\r');
    if (result.command != BoardCommand::BoardInformation ||
        result.outcome != CommandOutcome::Answered || cr == std::string::npos)
        return fields;
    const auto first = static_cast<std::ptrdiff_t>(cr) - 16;
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i] = Field(result.reply, first + static_cast<std::ptrdiff_t>(FieldLength * i));
    return fields;
}

bool MessageExpired(std::uint32_t now, std::uint32_t stamp) {
    return static_cast<std::uint32_t>(now - stamp) > MessageLifetime;
}

} // namespace kronax
