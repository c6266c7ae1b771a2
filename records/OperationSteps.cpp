#include "records/OperationSteps.h"

#include "protocol/BoardCommands.h"

namespace kronax::records {

std::string OutcomeName(StepOutcome outcome) {
    switch (outcome) {
    case StepOutcome::Acknowledged:
        return "acknowledged";
    case StepOutcome::NotAcknowledged:
        return "not_acknowledged";
    case StepOutcome::Timeout:
        return "timeout";
    case StepOutcome::Received:
        return "received";
    case StepOutcome::Illegal:
        return "illegal";
    case StepOutcome::NotReceived:
        return "not_received";
    case StepOutcome::Incomplete:
        break;
    }
    return "incomplete";
}

std::string OutcomeName(CommandOutcome outcome) {
    switch (outcome) {
    case CommandOutcome::Timeout:
        return "timeout";
    case CommandOutcome::Acknowledged:
        return "acknowledged";
    case CommandOutcome::NotAcknowledged:
        return "not_acknowledged";
    case CommandOutcome::Answered:
        return "answered";
    case CommandOutcome::Unrecognised:
        break;
    }
    return "unrecognised";
}

std::vector<RecordedStep> StepsOf(const TransferReport& report) {
    std::vector<RecordedStep> steps;
    for (const TransferStep& step : report.steps)
        steps.push_back({step.command, OutcomeName(step.outcome), step.reply});
    return steps;
}

RecordedStep StepOf(const CommandResult& result) {
    return {std::string(BoardCommandText(result.command)), OutcomeName(result.outcome),
            result.reply};
}

RecordedPayloads PayloadsOf(const TransferReport& report) {
    RecordedPayloads payloads;
    for (std::size_t index = 0; index < PayloadKinds.size(); ++index)
        payloads[index] = report.PayloadOf(PayloadKinds[index]);
    return payloads;
}

RecordedPayloads PayloadsOf(const PayloadTexts& texts) {
    RecordedPayloads payloads;
    for (std::size_t index = 0; index < PayloadKinds.size(); ++index)
        payloads[index] = texts[index];
    return payloads;
}

std::optional<BoardIdentityFields> IdentityOf(const CommandResult& result) {
    if (result.command != BoardCommand::BoardInformation || !result.Succeeded())
        return std::nullopt;
    const std::array<std::string, 4> fields = BoardIdentity(result);
    return BoardIdentityFields{fields[0], fields[1], fields[2], fields[3]};
}

RecordedPort PortOf(const PortIdentity& port) {
    return {port.name, port.devicePath.empty() ? port.name : port.devicePath, port.vendorId,
            port.productId, port.serialNumber};
}

} // namespace kronax::records
