#include "protocol/CommandFraming.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/PayloadCodec.h"

#include <algorithm>

namespace kronax {
namespace {

StepOutcome WriteOutcome(bool replied, const std::string& reply) {
    if (!replied)
        return StepOutcome::Timeout;
    return ReplyHolds(reply, AcceptanceMarker) ? StepOutcome::Acknowledged
                                               : StepOutcome::NotAcknowledged;
}

TransferStep WritePayload(PayloadKind kind, std::string payload, ICommandChannel& board) {
    TransferStep step{kind, StepOutcome::Timeout, {}, {}, std::move(payload)};
    step.command = WriteCommand(kind, *step.payload);
    const bool replied =
        board.TransactCommand(CommandLine(step.command), step.reply, ConfigCommandTimeout);
    step.outcome = WriteOutcome(replied, step.reply);
    return step;
}

} // namespace

TransferReport WritePayloads(const std::function<std::string(PayloadKind)>& payloadOf,
                             ICommandChannel& board) {
    TransferReport report{Transfer::WriteToBoard, {}};
    for (PayloadKind kind : PayloadKinds)
        report.steps.push_back(WritePayload(kind, payloadOf(kind), board));
    return report;
}

TransferReport WriteConfiguration(const IConfigurationView& view, ICommandChannel& board) {
    return WritePayloads([&view](PayloadKind kind) { return EncodePayload(kind, view); }, board);
}

TransferReport WritePayloadTexts(const PayloadTexts& texts, ICommandChannel& board) {
    return WritePayloads(
        [&texts](PayloadKind kind) { return texts[static_cast<std::size_t>(kind)]; }, board);
}

TransferReport WritePayloadTexts(const PayloadTexts& texts, const std::vector<PayloadKind>& kinds,
                                 ICommandChannel& board) {
    TransferReport report{Transfer::WriteToBoard, {}};
    for (PayloadKind kind : PayloadKinds)
        if (std::find(kinds.begin(), kinds.end(), kind) != kinds.end())
            report.steps.push_back(
                WritePayload(kind, texts[static_cast<std::size_t>(kind)], board));
    return report;
}

void WritePayloadEntries(const PayloadTexts& texts, IEntryStore& configFile) {
    for (PayloadKind kind : PayloadKinds)
        configFile.WriteEntry(std::string(ConfigSection), std::string(KindName(kind)),
                              texts[static_cast<std::size_t>(kind)]);
}

void WriteConfiguration(const IConfigurationView& view, IEntryStore& configFile) {
    WritePayloadEntries(EncodePayloads(TakeSnapshot(view)), configFile);
}

} // namespace kronax
