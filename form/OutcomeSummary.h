#pragma once

#include "config_file/ConfigFileFlows.h"
#include "form/FieldMismatch.h"
#include "link/PortFailure.h"
#include "protocol/BoardReplies.h"
#include "protocol/TransferReport.h"

#include <string>
#include <vector>

namespace kronax {

// A one-line account of what an operation did, for the status bar; failed ones are shown in red.
// UTF-8.
struct Outcome {
    std::string text;
    bool failed = false;

    bool operator==(const Outcome&) const = default;
};

// The operations whose outcomes the status line names.
enum class Operation {
    ReadConfiguration,
    WriteConfiguration,
    PowerOnDefault,
    BoardInformation,
    StartAlgorithms,
    ReadStatus,
    Open,
    Save,
    PortChoice,
    Close,
    // Timer ticks and the like, which the operator did not start.
    Background,
};

// "Read Configuration", "Write Configuration", ... as the menu and the buttons name them; empty
// for Background.
std::string OperationName(Operation operation);

// From a write report: "Configuration written: 6 of 6 acknowledged.", or the count followed by
// "First failure: " and the outcome text of the first step that failed.
Outcome WriteOutcome(const TransferReport& report);

// From a read report, the same way: "Configuration read: 6 of 6 received."
Outcome ReadOutcome(const TransferReport& report);

// outcome followed by what was written instead of what the fields show, in red when there is
// any: "... Multiplier shows 300, out of range: 30 was written."
Outcome WithMismatches(Outcome outcome, const std::vector<FieldMismatch>& mismatches);

// "Open: <file name> was not opened: <reason>."
Outcome NotOpenedOutcome(const std::string& fileName, const std::string& reason);

// "Board Information received from <port>." or, after a time-out, "Board Information: <port> did
// not answer in time."
Outcome BoardInformationOutcome(const CommandResult& result, const std::string& portName);

// What an open flow did, after "Open: " (nothing at all gives an empty text). notSentReason, when
// given, is why no configuration reached the board (the port is not open).
Outcome OpenOutcome(const FileOpening& opening, const std::string& notSentReason);

// "Configuration saved to <file name>."
Outcome SaveOutcome(const std::string& fileName);

// The text of a start, status or power-on default command itself, with a board reply's line ends
// left out; failed unless the board acknowledged or answered. A reply to start or power-on
// default that is none of the known ones is named as such.
Outcome BoardCommandOutcome(Operation operation, const CommandResult& result);

// An opened file kept in the window only: "Open: <file name> read; not sent." and, when fields
// were out of range, which.
Outcome WithheldOutcome(const std::string& fileName, const std::vector<FieldMismatch>& outOfRange);

// "<operation> not sent: <reason>."
Outcome NotSentOutcome(Operation operation, const std::string& reason);

// "<port> " and the failure's description (link/PortFailure.h), "."; a vanished device adds
// " Pick it again in the port list once it is back."
Outcome PortFailureOutcome(const std::string& portName, const PortFailure& failure);

// "<port> is back: pick it in the port list to reconnect."
Outcome PortBackOutcome(const std::string& portName);

// "<operation> stopped: <error text>"
Outcome StoppedOutcome(Operation operation, const std::string& errorText);

// The details of an open flow's outcome: each key of the file that is missing, of the wrong
// length or illegal, one line each ("MUX is missing from the file."), then the report text, with
// CR LF line ends.
std::string OpenDetails(const FileOpening& opening, const std::string& reportText);

} // namespace kronax
