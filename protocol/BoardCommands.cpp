#include "protocol/BoardCommands.h"

#include "protocol/CommandFraming.h"

namespace kronax {
namespace {

constexpr std::int32_t CommandTimeout = 1000;
constexpr std::int32_t IdentityTimeout = 500;

CommandResult Exchange(ICommandChannel& channel, BoardCommand command, const char* text,
                       std::int32_t timeout) {
    std::string reply;
    const bool answered = channel.TransactCommand(CommandLine(text), reply, timeout);
    return ClassifyReply(command, answered, std::move(reply));
}

} // namespace

CommandResult SendStartCommand(ICommandChannel& channel) {
    return Exchange(channel, BoardCommand::Start, "##SMSTA", CommandTimeout);
}

CommandResult RequestStatus(ICommandChannel& channel) {
    return Exchange(channel, BoardCommand::Status, "??SMSTA", CommandTimeout);
}

CommandResult SendPowerOnDefaultCommand(ICommandChannel& channel) {
    return Exchange(channel, BoardCommand::PowerOnDefault, "##SMSETP", CommandTimeout);
}

CommandResult RequestBoardInformation(ICommandChannel& channel) {
    return Exchange(channel, BoardCommand::BoardInformation, "??SMSETB", IdentityTimeout);
}

} // namespace kronax
