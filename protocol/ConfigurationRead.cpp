#include "protocol/ConfigurationTransfer.h"
#include "protocol/PayloadCodec.h"
#include "protocol/SensorRules.h"
#include "protocol/TransferMessages.h"

#include <stdexcept>

namespace kronax {
namespace {

// "!SM" in front of the payload and CR after it.
constexpr std::size_t ReplyOverhead = 4;
constexpr std::size_t PayloadOffset = 3;

std::string WithoutFirstCr(std::string reply) {
    if (const auto cr = reply.find('\r'); cr != std::string::npos)
        reply.erase(cr, 1);
    return reply;
}

bool ReplyComplete(PayloadKind kind, const std::string& reply) {
    return reply.find("!SM") != std::string::npos &&
           reply.size() == PayloadLength(kind) + ReplyOverhead;
}

std::string ReadLineFromDevice(PayloadKind kind, const TransferEndpoints& endpoints,
                               int& modeCode) {
    const DeviceReadMessages& messages = DeviceReadMessagesFor(kind);
    const std::string query = "??SM" + std::string(KindName(kind));
    std::string line = query + " | ";
    std::string reply;
    if (!endpoints.channel.TransactCommand(query + "\r", reply, ConfigCommandTimeout))
        return line + std::string(messages.timeout);
    if (!ReplyComplete(kind, reply))
        return line + WithoutFirstCr(reply) + " | " + std::string(messages.notReceived);

    const std::string_view payload =
        std::string_view(reply).substr(PayloadOffset, PayloadLength(kind));
    if (DecodePayload(kind, payload, endpoints.view, modeCode) == DecodeResult::Legal)
        return line + std::string(messages.received);
    return line + WithoutFirstCr(reply) + " | " + std::string(messages.illegal);
}

std::string_view ReadLineFromFile(PayloadKind kind, const TransferEndpoints& endpoints,
                                  int& modeCode) {
    const FileReadMessages& messages = FileReadMessagesFor(kind);
    const std::string value = endpoints.configFile->ReadEntry(std::string(ConfigSection),
                                                              std::string(KindName(kind)), "");
    if (value.size() != PayloadLength(kind))
        return messages.incomplete;
    return DecodePayload(kind, value, endpoints.view, modeCode) == DecodeResult::Legal
               ? messages.read
               : messages.illegal;
}

// Keeps AUX 1 off for the combination in which the panel disables it and a write withholds its
// enable bit, so what the window shows after a read is what the next write sends.
void SwitchOffUnusableAux1(IConfigurationView& view) {
    if (Aux1Withheld(view.Selected(Selection::SensorType), view.Selected(Selection::CaInput)))
        view.Select(Selection::Aux1Source, AuxSourceOff);
}

} // namespace

std::string ReadConfiguration(ConfigTarget target, const TransferEndpoints& endpoints) {
    if (target == ConfigTarget::File && endpoints.configFile == nullptr)
        throw std::invalid_argument("no configuration file open");
    int modeCode = 0;
    std::string report;
    for (PayloadKind kind : PayloadKinds) {
        if (target == ConfigTarget::Device)
            report += ReadLineFromDevice(kind, endpoints, modeCode);
        else
            report += ReadLineFromFile(kind, endpoints, modeCode);
        report += "\r\n";
    }
    SwitchOffUnusableAux1(endpoints.view);
    return report;
}

} // namespace kronax
