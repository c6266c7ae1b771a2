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

TransferReport WriteConfiguration(const IConfigurationView& view, ICommandChannel& board) {
    TransferReport report{Transfer::WriteToBoard, {}};
    for (PayloadKind kind : PayloadKinds) {
        TransferStep step{kind, StepOutcome::Timeout, {}, {}, EncodePayload(kind, view)};
        step.command = WriteCommand(kind, *step.payload);
        const bool replied =
            board.TransactCommand(CommandLine(step.command), step.reply, ConfigCommandTimeout);
        step.outcome = WriteOutcome(replied, step.reply);
        report.steps.push_back(std::move(step));
    }
    return report;
}

void WriteConfiguration(const IConfigurationView& view, IEntryStore& configFile) {
    for (PayloadKind kind : PayloadKinds)
        configFile.WriteEntry(std::string(ConfigSection), std::string(KindName(kind)),
                              EncodePayload(kind, view));
}

} // namespace kronax
