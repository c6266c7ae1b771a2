#include "protocol/BoardCommands.h"

#include "protocol/CommandFraming.h"

namespace kronax {
namespace {

constexpr std::int32_t CommandTimeout = 1000;
constexpr std::int32_t IdentityTimeout = 500;

CommandResult Exchange(ICommandChannel& channel, BoardCommand command, std::int32_t timeout) {
    std::string reply;
    const bool answered =
        channel.TransactCommand(CommandLine(BoardCommandText(command)), reply, timeout);
    return ClassifyReply(command, answered, std::move(reply));
}

} // namespace

std::string_view BoardCommandText(BoardCommand command) {
    switch (command) {
    case BoardCommand::Start:
        return "##SMSTA";
    case BoardCommand::Status:
        return "??SMSTA";
    case BoardCommand::PowerOnDefault:
        return "##SMSETP";
    case BoardCommand::BoardInformation:
        break;
    }
    return "??SMSETB";
}

CommandResult SendStartCommand(ICommandChannel& channel) {
    return Exchange(channel, BoardCommand::Start, CommandTimeout);
}

CommandResult RequestStatus(ICommandChannel& channel) {
    return Exchange(channel, BoardCommand::Status, CommandTimeout);
}

CommandResult SendPowerOnDefaultCommand(ICommandChannel& channel) {
    return Exchange(channel, BoardCommand::PowerOnDefault, CommandTimeout);
}

CommandResult RequestBoardInformation(ICommandChannel& channel) {
    return Exchange(channel, BoardCommand::BoardInformation, IdentityTimeout);
}

} // namespace kronax
