#include "app/OutcomeSummary.h"

#include "app/SystemText.h"
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
    case FileOpening::Outcome::NotSent: {
        Outcome outcome = TallyOutcome(file + " not sent to the board", opening.readReport, "read");
        outcome.failed = true;
        return outcome;
    }
    case FileOpening::Outcome::Sent:
        break;
    }
    if (!notSentReason.empty())
        return {file + " read; not sent: " + FromSystemText(notSentReason) + ".", true};
    return TallyOutcome(file + " read and written", opening.writeReport, "acknowledged");
}

Outcome SaveOutcome(const std::string& fileName) {
    return {"Configuration saved to " + BaseName(fileName) + ".", false};
}

Outcome PowerOnDefaultOutcome(const CommandResult& result) {
    QString line = FromSystemText(CommandOutcomeText(result));
    line.remove('\r');
    line.remove('\n');
    return {line, !result.Succeeded()};
}

Outcome NotSentOutcome(const std::string& reason) {
    return {"Not sent: " + FromSystemText(reason) + ".", true};
}

Outcome PortFailureOutcome(const std::string& portName, const PortFailure& failure) {
    QString text =
        PortText(portName) + " " + QString::fromLocal8Bit(DescribePortFailure(failure)) + ".";
    if (failure.kind == PortFailureKind::Vanished)
        text += " Pick it again in the port list once it is back.";
    return {text, true};
}

Outcome PortBackOutcome(const std::string& portName) {
    return {PortText(portName) + " is back: pick it in the port list to reconnect.", false};
}

Outcome StoppedOutcome(const QString& errorText) {
    return {"Stopped: " + errorText, true};
}

} // namespace kronax
