#include "protocol/BoardCommands.h"
#include "protocol/BoardReplies.h"

namespace kronax {
namespace {

constexpr std::int32_t CommandTimeout = 1000;
constexpr std::int32_t IdentityTimeout = 500;

template <typename Outcome>
std::string Exchange(ICommandChannel& channel, const char* command, std::int32_t timeout,
                     Outcome outcome) {
    std::string reply;
    const bool answered = channel.TransactCommand(std::string(command) + "\r", reply, timeout);
    return outcome(answered, reply);
}

} // namespace

std::string SendStartCommand(ICommandChannel& channel) {
    return Exchange(channel, "##SMSTA", CommandTimeout, StartOutcomeText);
}

std::string RequestStatus(ICommandChannel& channel) {
    return Exchange(channel, "??SMSTA", CommandTimeout, StatusOutcomeText);
}

std::string SendPowerOnDefaultCommand(ICommandChannel& channel) {
    return Exchange(channel, "##SMSETP", CommandTimeout, PowerOnDefaultOutcomeText);
}

std::string RequestBoardInformation(ICommandChannel& channel) {
    return Exchange(channel, "??SMSETB", IdentityTimeout, BoardInformationText);
}

} // namespace kronax
