#pragma once

#include "protocol/PayloadKind.h"

#include <optional>
#include <string>
#include <string_view>

namespace kronax {

// How commands and replies are framed on the line. Pure; any thread.

// The board's acceptance of a write command, its refusal, and the mark every answer carries.
inline constexpr std::string_view AcceptanceMarker = "!SMACK";
inline constexpr std::string_view RefusalMarker = "!SMNCK";
inline constexpr std::string_view ReplyMarker = "!SM";

// The command as it goes out: text followed by CR.
std::string CommandLine(std::string_view text);

// "??SM" + kind: the query for one payload, without its CR.
std::string QueryCommand(PayloadKind kind);

// "##SM" + kind + payload: the write command for one payload, without its CR.
std::string WriteCommand(PayloadKind kind, std::string_view payload);

// The payload a reply to QueryCommand(kind) carries: the reply must hold "!SM" and be the payload
// length plus four characters long ("!SM" before the payload, CR after it); the payload is taken
// from its fourth character. Nothing when the reply has another form.
std::optional<std::string> ReplyPayload(PayloadKind kind, std::string_view reply);

// True when the reply holds marker at any position.
bool ReplyHolds(std::string_view reply, std::string_view marker);

} // namespace kronax
