#include "protocol/CommandFraming.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/PayloadCodec.h"
#include "protocol/SensorRules.h"

namespace kronax {
namespace {

// Keeps AUX 1 off for the combination in which the panel disables it and a write withholds its
// enable bit, so what the window shows after a read is what the next write sends.
void SwitchOffUnusableAux1(IConfigurationView& view) {
    if (Aux1Withheld(view.Selected(Selection::SensorType), view.Selected(Selection::CaInput)))
        view.Select(Selection::Aux1Source, AuxSourceOff);
}

TransferStep QueryBoard(ICommandChannel& board, PayloadKind kind) {
    TransferStep step{kind, StepOutcome::Timeout, QueryCommand(kind), {}, std::nullopt};
    if (!board.TransactCommand(CommandLine(step.command), step.reply, ConfigCommandTimeout))
        return step;
    step.payload = ReplyPayload(kind, step.reply);
    step.outcome = step.payload ? StepOutcome::Received : StepOutcome::NotReceived;
    return step;
}

std::size_t Index(PayloadKind kind) {
    return static_cast<std::size_t>(kind);
}

} // namespace

TransferReport DecodeConfiguration(Transfer transfer, const PayloadSource& source,
                                   IConfigurationView& view) {
    int modeCode = 0;
    TransferReport report{transfer, {}};
    for (PayloadKind kind : PayloadKinds) {
        TransferStep step = source(kind);
        if (step.outcome == StepOutcome::Received &&
            DecodePayload(kind, *step.payload, view, modeCode) == DecodeResult::Illegal)
            step.outcome = StepOutcome::Illegal;
        report.steps.push_back(std::move(step));
    }
    SwitchOffUnusableAux1(view);
    return report;
}

TransferReport ReadConfiguration(IConfigurationView& view, ICommandChannel& board) {
    return DecodeConfiguration(
        Transfer::ReadFromBoard, [&board](PayloadKind kind) { return QueryBoard(board, kind); },
        view);
}

TransferReport ReadConfiguration(IConfigurationView& view, const IEntryStore& configFile) {
    return DecodePayloadTexts(ReadPayloadEntries(configFile), view);
}

TransferReport DecodePayloadTexts(const PayloadTexts& texts, IConfigurationView& view) {
    const auto fromText = [&texts](PayloadKind kind) {
        const std::string& text = texts[Index(kind)];
        const bool complete = text.size() == PayloadLength(kind);
        return TransferStep{
            kind, complete ? StepOutcome::Received : StepOutcome::Incomplete, {}, {}, text};
    };
    return DecodeConfiguration(Transfer::ReadFromFile, fromText, view);
}

PayloadTexts ReadPayloadEntries(const IEntryStore& configFile) {
    PayloadTexts texts;
    for (PayloadKind kind : PayloadKinds)
        texts[Index(kind)] =
            configFile.ReadEntry(std::string(ConfigSection), std::string(KindName(kind)), "");
    return texts;
}

} // namespace kronax
