#include "protocol/ConfigurationTransfer.h"
#include "protocol/PayloadCodec.h"
#include "protocol/TransferMessages.h"

#include <stdexcept>

namespace kronax {
namespace {

std::string_view WriteOutcome(PayloadKind kind, bool replied, const std::string& reply) {
    const WriteMessages& messages = WriteMessagesFor(kind);
    if (!replied)
        return messages.timeout;
    return reply.find("!SMACK") != std::string::npos ? messages.acknowledged
                                                     : messages.notAcknowledged;
}

std::string WriteToDevice(const TransferEndpoints& endpoints) {
    std::string report;
    for (PayloadKind kind : PayloadKinds) {
        const std::string command =
            "##SM" + std::string(KindName(kind)) + EncodePayload(kind, endpoints.view);
        report += command + " | ";
        std::string reply;
        const bool replied =
            endpoints.channel.TransactCommand(command + "\r", reply, ConfigCommandTimeout);
        report += WriteOutcome(kind, replied, reply);
        report += "\r\n";
    }
    return report;
}

void WriteToFile(IEntryStore& configFile, const IConfigurationView& view) {
    for (PayloadKind kind : PayloadKinds)
        configFile.WriteEntry(std::string(ConfigSection), std::string(KindName(kind)),
                              EncodePayload(kind, view));
}

} // namespace

std::optional<std::string> WriteConfiguration(ConfigTarget target,
                                              const TransferEndpoints& endpoints) {
    if (target == ConfigTarget::Device)
        return WriteToDevice(endpoints);
    if (endpoints.configFile == nullptr)
        throw std::invalid_argument("no configuration file open");
    WriteToFile(*endpoints.configFile, endpoints.view);
    return std::nullopt;
}

} // namespace kronax
