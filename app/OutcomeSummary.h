#pragma once

#include "config_file/ConfigFileFlows.h"
#include "link/PortFailure.h"
#include "protocol/BoardReplies.h"
#include "protocol/TransferReport.h"

#include <QString>

#include <string>

namespace kronax {

// A one-line account of what an operation did, for the status bar; failed ones are shown in red.
struct Outcome {
    QString text;
    bool failed = false;
};

// From a write report: "Configuration written: 6 of 6 acknowledged.", or the count followed by
// "First failure: " and the outcome text of the first step that failed.
Outcome WriteOutcome(const TransferReport& report);

// From a read report, the same way: "Configuration read: 6 of 6 received."
Outcome ReadOutcome(const TransferReport& report);

// What an open flow did (nothing at all gives an empty text). notSentReason, when given, is why
// no configuration reached the board (the port is not open).
Outcome OpenOutcome(const FileOpening& opening, const std::string& notSentReason);

// "Configuration saved to <file name>."
Outcome SaveOutcome(const std::string& fileName);

// The power-on default text itself, with a board reply's line ends left out; failed unless the
// board acknowledged.
Outcome PowerOnDefaultOutcome(const CommandResult& result);

// "Not sent: <reason>."
Outcome NotSentOutcome(const std::string& reason);

// "<port> " and the failure's description (link/PortFailure.h), "."; a vanished device adds
// " Pick it again in the port list once it is back."
Outcome PortFailureOutcome(const std::string& portName, const PortFailure& failure);

// "<port> is back: pick it in the port list to reconnect."
Outcome PortBackOutcome(const std::string& portName);

// "Stopped: <error text>."
Outcome StoppedOutcome(const QString& errorText);

} // namespace kronax
