#include "app/OutcomeSummary.h"

#include "app/SystemText.h"
#include "app/WindowQuestions.h"
#include "protocol/OutcomeText.h"

#include <QFileInfo>

namespace kronax {
namespace {

QString PortText(const std::string& portName) {
    return FromSystemText(portName);
}

QString BaseName(const std::string& fileName) {
    return QFileInfo(QString::fromLocal8Bit(fileName)).fileName();
}

// "<lead>: 4 of 6 <fineWord>." and, when a line failed, " First failure: <outcome>"
Outcome TallyOutcome(const QString& lead, const TransferReport& report, const QString& fineWord) {
    QString text = QString("%1: %2 of %3 %4.")
                       .arg(lead)
                       .arg(report.SucceededCount())
                       .arg(report.steps.size())
                       .arg(fineWord);
    if (const TransferStep* failure = report.FirstFailure())
        text += " First failure: " + FromSystemText(StepOutcomeText(report.transfer, *failure));
    return {text, !report.AllSucceeded()};
}

} // namespace

QString OperationName(Operation operation) {
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
    return {"Open: " + BaseName(fileName) + " was not opened: " + QString::fromUtf8(reason) + ".",
            true};
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
    const QString file = BaseName(opening.fileName);
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
        return {"Open: " + file + " read; not sent: " + FromSystemText(notSentReason) + ".", true};
    return TallyOutcome("Open: " + file + " read and written", opening.writeReport, "acknowledged");
}

Outcome SaveOutcome(const std::string& fileName) {
    return {"Configuration saved to " + BaseName(fileName) + ".", false};
}

Outcome BoardCommandOutcome(Operation operation, const CommandResult& result) {
    QString line = FromSystemText(CommandOutcomeText(result));
    line.remove('\r');
    line.remove('\n');
    if (result.outcome == CommandOutcome::Unrecognised && operation != Operation::ReadStatus)
        line = OperationName(operation) + ": unrecognised reply " + line;
    return {line, !result.Succeeded()};
}

Outcome WithheldOutcome(const std::string& fileName, const std::vector<FieldMismatch>& outOfRange) {
    const QString lead = "Open: " + BaseName(fileName) + " read; not sent";
    if (outOfRange.empty())
        return {lead + ".", false};
    return {lead + ": " + MismatchNotes(outOfRange, {}) + ".", true};
}

Outcome NotSentOutcome(Operation operation, const std::string& reason) {
    const QString name = OperationName(operation);
    return {(name.isEmpty() ? "Not sent" : name + " not sent") + ": " + FromSystemText(reason) +
                ".",
            true};
}

Outcome PortFailureOutcome(const std::string& portName, const PortFailure& failure) {
    QString text =
        PortText(portName) + " " + QString::fromLocal8Bit(DescribePortFailure(failure)) + ".";
    if (failure.kind == PortFailureKind::Vanished && failure.stage == PortStage::Exchange)
        text += " Pick it again in the port list once it is back.";
    return {text, true};
}

Outcome PortBackOutcome(const std::string& portName) {
    return {PortText(portName) + " is back: pick it in the port list to reconnect.", false};
}

Outcome StoppedOutcome(Operation operation, const QString& errorText) {
    const QString name = OperationName(operation);
    return {(name.isEmpty() ? "Stopped" : name + " stopped") + ": " + errorText, true};
}

QString OpenDetails(const FileOpening& opening, const QString& reportText) {
    QStringList lines;
    for (const TransferStep& step : opening.readReport.steps) {
        const QString key = FromSystemText(std::string(KindName(step.kind)));
        if (step.outcome == StepOutcome::Incomplete)
            lines << (step.payload && !step.payload->empty()
                          ? key + "=" + FromSystemText(*step.payload) + " has the wrong length."
                          : key + " is missing from the file.");
        else if (step.outcome == StepOutcome::Illegal)
            lines << key + "=" + FromSystemText(step.payload.value_or("")) + " is illegal.";
    }
    lines << reportText;
    return lines.join("\r\n");
}

} // namespace kronax
