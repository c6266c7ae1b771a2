#pragma once

#include "protocol/CommandChannel.h"
#include "protocol/ConfigurationSnapshot.h"
#include "protocol/PayloadCodec.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kronax::test {

// A command channel whose answers come from a function of the command: a text is a complete
// reply, nothing is a time-out. Records every command with its time-out.
class ScriptedChannel : public ICommandChannel {
public:
    using Responder = std::function<std::optional<std::string>(const std::string& command)>;

    explicit ScriptedChannel(Responder responder) : responder_(std::move(responder)) {}

    bool TransactCommand(const std::string& command, std::string& reply,
                         std::int32_t timeout) override {
        commands.push_back(command);
        timeouts.push_back(timeout);
        const auto answer = responder_(command);
        reply = answer.value_or("");
        return answer.has_value();
    }

    std::vector<std::string> commands;
    std::vector<std::int32_t> timeouts;

private:
    Responder responder_;
};

// Answers like a board holding the given configuration: queries with "!SM", the payload and
// CR; writes with "!SMACK" and CR.
inline ScriptedChannel::Responder BoardHolding(const ConfigurationSnapshot& board) {
    return [board](const std::string& command) -> std::optional<std::string> {
        if (command.starts_with("##SM"))
            return "!SMACK\r";
        for (PayloadKind kind : PayloadKinds)
            if (command == "??SM" + std::string(KindName(kind)) + "\r")
                return "!SM" + EncodePayload(kind, board) + "\r";
        return "!SMNCK\r";
    };
}

inline std::optional<std::string> SilentBoard(const std::string&) {
    return std::nullopt;
}

} // namespace kronax::test
