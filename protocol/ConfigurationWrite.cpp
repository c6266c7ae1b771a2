#include "protocol/CommandFraming.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/PayloadCodec.h"

namespace kronax {
namespace {

StepOutcome WriteOutcome(bool replied, const std::string& reply) {
    if (!replied)
        return StepOutcome::Timeout;
    return ReplyHolds(reply, AcceptanceMarker) ? StepOutcome::Acknowledged
                                               : StepOutcome::NotAcknowledged;
}

} // namespace

TransferReport WritePayloads(const std::function<std::string(PayloadKind)>& payloadOf,
                             ICommandChannel& board) {
    TransferReport report{Transfer::WriteToBoard, {}};
    for (PayloadKind kind : PayloadKinds) {
        TransferStep step{kind, StepOutcome::Timeout, {}, {}, payloadOf(kind)};
        step.command = WriteCommand(kind, *step.payload);
        const bool replied =
            board.TransactCommand(CommandLine(step.command), step.reply, ConfigCommandTimeout);
        step.outcome = WriteOutcome(replied, step.reply);
        report.steps.push_back(std::move(step));
    }
    return report;
}

TransferReport WriteConfiguration(const IConfigurationView& view, ICommandChannel& board) {
    return WritePayloads([&view](PayloadKind kind) { return EncodePayload(kind, view); }, board);
}

TransferReport WritePayloadTexts(const PayloadTexts& texts, ICommandChannel& board) {
    return WritePayloads(
        [&texts](PayloadKind kind) { return texts[static_cast<std::size_t>(kind)]; }, board);
}

void WriteConfiguration(const IConfigurationView& view, IEntryStore& configFile) {
    for (PayloadKind kind : PayloadKinds)
        configFile.WriteEntry(std::string(ConfigSection), std::string(KindName(kind)),
                              EncodePayload(kind, view));
}

} // namespace kronax
