#include "form/OutcomeSummary.h"

#include "form/DisplayText.h"
#include "form/FileNames.h"
#include "form/WindowQuestions.h"
#include "protocol/OutcomeText.h"

namespace kronax {
namespace {

std::string PortText(const std::string& portName) {
    return DisplayText(portName);
}

std::string BaseName(const std::string& fileName) {
    return BaseNameText(fileName);
}

// "<lead>: 4 of 6 <fineWord>." and, when a line failed, " First failure: <outcome>"
Outcome TallyOutcome(const std::string& lead, const TransferReport& report,
                     const std::string& fineWord) {
    std::string text = lead + ": " + std::to_string(report.SucceededCount()) + " of " +
                       std::to_string(report.steps.size()) + " " + fineWord + ".";
    if (const TransferStep* failure = report.FirstFailure())
        text += " First failure: " + DisplayText(StepOutcomeText(report.transfer, *failure));
    return {text, !report.AllSucceeded()};
}

} // namespace

std::string OperationName(Operation operation) {
    switch (operation) {
    case Operation::ReadConfiguration:
        return "Read Configuration";
    case Operation::WriteConfiguration:
        return "Write Configuration";
    case Operation::PowerOnDefault:
        return "Power On Default";
    case Operation::BoardInformation:
        return "Board Information";
    case Operation::StartAlgorithms:
        return "Start Algorithms";
    case Operation::ReadStatus:
        return "Read Status";
    case Operation::Open:
        return "Open";
    case Operation::Save:
        return "Save";
    case Operation::PortChoice:
        return "Port choice";
    case Operation::Close:
        return "Close";
    case Operation::Background:
        break;
    }
    return {};
}

Outcome WithMismatches(Outcome outcome, const std::vector<FieldMismatch>& mismatches) {
    if (mismatches.empty())
        return outcome;
    return {outcome.text + " " + MismatchNotes(mismatches, "was written") + ".", true};
}

Outcome NotOpenedOutcome(const std::string& fileName, const std::string& reason) {
    return {"Open: " + BaseName(fileName) + " was not opened: " + reason + ".", true};
}

Outcome BoardInformationOutcome(const CommandResult& result, const std::string& portName) {
    if (result.outcome != CommandOutcome::Timeout)
        return {OperationName(Operation::BoardInformation) + " received from " +
                    PortText(portName) + ".",
                false};
    return {OperationName(Operation::BoardInformation) + ": " + PortText(portName) +
                " did not answer in time.",
            true};
}

Outcome WriteOutcome(const TransferReport& report) {
    return TallyOutcome("Configuration written", report, "acknowledged");
}

Outcome ReadOutcome(const TransferReport& report) {
    return TallyOutcome("Configuration read", report, "received");
}

Outcome OpenOutcome(const FileOpening& opening, const std::string& notSentReason) {
    const std::string file = BaseName(opening.fileName);
    switch (opening.outcome) {
    case FileOpening::Outcome::NothingOpened:
        return {};
    case FileOpening::Outcome::Withheld:
        return WithheldOutcome(opening.fileName, {});
    case FileOpening::Outcome::NotSent: {
        Outcome outcome =
            TallyOutcome("Open: " + file + " not sent to the board", opening.readReport, "read");
        outcome.failed = true;
        return outcome;
    }
    case FileOpening::Outcome::Sent:
        break;
    }
    if (!notSentReason.empty())
        return {"Open: " + file + " read; not sent: " + DisplayText(notSentReason) + ".", true};
    return TallyOutcome("Open: " + file + " read and written", opening.writeReport, "acknowledged");
}

Outcome SaveOutcome(const std::string& fileName) {
    return {"Configuration saved to " + BaseName(fileName) + ".", false};
}

Outcome BoardCommandOutcome(Operation operation, const CommandResult& result) {
    std::string line = BoardText(CommandOutcomeText(result));
    std::erase(line, '\r');
    std::erase(line, '\n');
    if (result.outcome == CommandOutcome::Unrecognised && operation != Operation::ReadStatus)
        line = OperationName(operation) + ": unrecognised reply " + line;
    return {line, !result.Succeeded()};
}

Outcome WithheldOutcome(const std::string& fileName, const std::vector<FieldMismatch>& outOfRange) {
    const std::string lead = "Open: " + BaseName(fileName) + " read; not sent";
    if (outOfRange.empty())
        return {lead + ".", false};
    return {lead + ": " + MismatchNotes(outOfRange, {}) + ".", true};
}

Outcome NotSentOutcome(Operation operation, const std::string& reason) {
    const std::string name = OperationName(operation);
    return {(name.empty() ? "Not sent" : name + " not sent") + ": " + DisplayText(reason) + ".",
            true};
}

Outcome PortFailureOutcome(const std::string& portName, const PortFailure& failure) {
    std::string text = PortText(portName) + " " + DescribePortFailure(failure) + ".";
    if (failure.kind == PortFailureKind::Vanished && failure.stage == PortStage::Exchange)
        text += " Pick it again in the port list once it is back.";
    return {text, true};
}

Outcome PortBackOutcome(const std::string& portName) {
    return {PortText(portName) + " is back: pick it in the port list to reconnect.", false};
}

Outcome StoppedOutcome(Operation operation, const std::string& errorText) {
    const std::string name = OperationName(operation);
    return {(name.empty() ? "Stopped" : name + " stopped") + ": " + errorText, true};
}

std::string OpenDetails(const FileOpening& opening, const std::string& reportText) {
    std::vector<std::string> lines;
    for (const TransferStep& step : opening.readReport.steps) {
        const std::string key = DisplayText(KindName(step.kind));
        if (step.outcome == StepOutcome::Incomplete)
            lines.push_back(step.payload && !step.payload->empty()
                                ? key + "=" + DisplayText(*step.payload) + " has the wrong length."
                                : key + " is missing from the file.");
        else if (step.outcome == StepOutcome::Illegal)
            lines.push_back(key + "=" + DisplayText(step.payload.value_or("")) + " is illegal.");
    }
    lines.push_back(reportText);
    return Joined(lines, "\r\n");
}

} // namespace kronax
