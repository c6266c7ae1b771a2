#include "protocol/CommandFraming.h"

namespace kronax {
namespace {

constexpr std::string_view QueryPrefix = "??SM";
constexpr std::string_view WritePrefix = "##SM";

} // namespace

std::string CommandLine(std::string_view text) {
    return std::string(text) + '\r';
}

std::string QueryCommand(PayloadKind kind) {
    return std::string(QueryPrefix) + std::string(KindName(kind));
}

std::string WriteCommand(PayloadKind kind, std::string_view payload) {
    return std::string(WritePrefix) + std::string(KindName(kind)) + std::string(payload);
}

std::optional<std::string> ReplyPayload(PayloadKind kind, std::string_view reply) {
    const std::size_t length = PayloadLength(kind);
    if (!ReplyHolds(reply, ReplyMarker) || reply.size() != length + ReplyMarker.size() + 1)
        return std::nullopt;
    return std::string(reply.substr(ReplyMarker.size(), length));
}

bool ReplyHolds(std::string_view reply, std::string_view marker) {
    return reply.find(marker) != std::string_view::npos;
}

} // namespace kronax
