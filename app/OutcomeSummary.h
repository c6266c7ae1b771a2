#pragma once

#include "app/ParameterEntry.h"
#include "config_file/ConfigFileFlows.h"

#include <QString>

#include <string>
#include <vector>

namespace kronax {

// A one-line account of what an operation did, for the status bar; failed ones are shown in red.
struct Outcome {
    QString text;
    bool failed = false;
};

// From a write report: "Configuration written: 6 of 6 acknowledged.", or the count followed by
// "First failure: " and the outcome text of the first line that failed.
Outcome WriteOutcome(const std::string& report);

// From a read report, the same way: "Configuration read: 6 of 6 received."
Outcome ReadOutcome(const std::string& report);

// outcome followed by what was written instead of what the fields show, in red when there is
// any: "... Multiplier shows 300, out of range: 30 was written."
Outcome WithMismatches(Outcome outcome, const std::vector<FieldMismatch>& mismatches);

// "Open: <file name> was not opened: <reason>."
Outcome NotOpenedOutcome(const std::string& fileName, const std::string& reason);

// "Board information received from <port>." or, not answered, "Board information: <port> did
// not answer in time."
Outcome BoardInformationOutcome(bool answered, const std::string& portName);

// What an open flow did (nothing at all gives an empty text). notSentReason, when given, is why
// no configuration reached the board (the port is not open).
Outcome OpenOutcome(const FileOpening& opening, const std::string& notSentReason);

// "Configuration saved to <file name>."
Outcome SaveOutcome(const std::string& fileName);

// The power-on default text itself, with a board reply's line ends left out; failed unless the
// board acknowledged.
Outcome PowerOnDefaultOutcome(const std::string& text);

// "Not sent: <reason>."
Outcome NotSentOutcome(const std::string& reason);

// "<port> could not be opened: <reason>."
Outcome OpeningFailedOutcome(const std::string& portName, const std::string& reason);

// "<port> was disconnected. Pick it again in the port list once it is back."
Outcome DisconnectedOutcome(const std::string& portName);

// "<port> is back: pick it in the port list to reconnect."
Outcome PortBackOutcome(const std::string& portName);

// "Stopped: <error text>."
Outcome StoppedOutcome(const QString& errorText);

} // namespace kronax
