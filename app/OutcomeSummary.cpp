#include "app/OutcomeSummary.h"

#include "app/SystemText.h"
#include "protocol/BoardReplies.h"
#include "protocol/FieldCaptions.h"
#include "protocol/IntegerText.h"
#include "protocol/ReportTally.h"

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
Outcome TallyOutcome(const QString& lead, const std::string& report, const QString& fineWord) {
    const ReportTally tally = TallyReport(report);
    QString text =
        QString("%1: %2 of %3 %4.").arg(lead).arg(tally.fine).arg(tally.lines).arg(fineWord);
    if (!tally.AllFine())
        text += " First failure: " + FromSystemText(tally.firstFailure);
    return {text, !tally.AllFine()};
}

// "Multiplier (0..255)" is named "Multiplier".
QString FieldName(NumberField field) {
    const QString caption = FromSystemText(std::string(NumberFieldCaption(field)));
    return caption.left(caption.indexOf(" (")).trimmed();
}

QString MismatchText(const FieldMismatch& mismatch) {
    const QString name = FieldName(mismatch.field);
    const QString written = QString::number(mismatch.stored) + " was written";
    if (mismatch.shown.trimmed().isEmpty())
        return name + " is empty: " + written;
    const bool number = ReadInteger(mismatch.shown.toStdString()).has_value();
    return name + " shows " + mismatch.shown + (number ? ", out of range: " : ", not a number: ") +
           written;
}

} // namespace

Outcome WithMismatches(Outcome outcome, const std::vector<FieldMismatch>& mismatches) {
    if (mismatches.empty())
        return outcome;
    QStringList notes;
    for (const FieldMismatch& mismatch : mismatches)
        notes << MismatchText(mismatch);
    return {outcome.text + " " + notes.join("; ") + ".", true};
}

Outcome NotOpenedOutcome(const std::string& fileName, const std::string& reason) {
    return {"Open: " + BaseName(fileName) + " was not opened: " + QString::fromUtf8(reason) + ".",
            true};
}

Outcome BoardInformationOutcome(bool answered, const std::string& portName) {
    if (answered)
        return {"Board information received from " + PortText(portName) + ".", false};
    return {"Board information: " + PortText(portName) + " did not answer in time.", true};
}

Outcome WriteOutcome(const std::string& report) {
    return TallyOutcome("Configuration written", report, "acknowledged");
}

Outcome ReadOutcome(const std::string& report) {
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

Outcome PowerOnDefaultOutcome(const std::string& text) {
    QString line = FromSystemText(text);
    line.remove('\r');
    line.remove('\n');
    return {line, text != PowerOnDefaultOutcomeText(true, "!SMACK\r")};
}

Outcome NotSentOutcome(const std::string& reason) {
    return {"Not sent: " + FromSystemText(reason) + ".", true};
}

Outcome OpeningFailedOutcome(const std::string& portName, const std::string& reason) {
    return {PortText(portName) + " could not be opened: " + QString::fromUtf8(reason) + ".", true};
}

Outcome DisconnectedOutcome(const std::string& portName) {
    return {PortText(portName) +
                " was disconnected. Pick it again in the port list once it is back.",
            true};
}

Outcome PortBackOutcome(const std::string& portName) {
    return {PortText(portName) + " is back: pick it in the port list to reconnect.", false};
}

Outcome StoppedOutcome(const QString& errorText) {
    return {"Stopped: " + errorText, true};
}

} // namespace kronax
