#pragma once

#include "cli/BoardSession.h"
#include "cli/Output.h"
#include "cli/PortResult.h"

#include <functional>
#include <string>
#include <vector>

namespace kronax::cli {

// The action on the board of the port named port.
using PortAction = std::function<PortResult(BoardSession& session, const std::string& port)>;

struct RunOptions {
    std::string command;   // the subcommand, named in every JSON object
    bool verbose = false;  // the traffic log on standard error
    bool json = false;     // one JSON object per port, one line each
    bool several = false;  // prefix every line with its port and end with a summary
    bool quiet = false;    // standard output only; no summary, no warnings
    bool progress = false; // a live progress line on standard error (a terminal)
    bool record = true;    // keep a record of each port's operation in the record store
};

// Runs action on every port at once, one worker thread per port, each opening its own port.
// Prints each port's result as soon as it is done, whatever the action raised; returns the
// highest exit code. Each port's operation is recorded unless options.record is false: a record
// that cannot be begun leaves the port unopened (ExitRecordError); one that cannot be completed
// leaves the result as it is, goes to standard error as one JSON line and raises the exit code
// to ExitRecordError.
int RunOnPorts(const std::vector<std::string>& ports, const PortAction& action,
               const RunOptions& options, Output& output);

// The JSON object that starts every object kronax prints: command, the subject (key and value:
// "port": "COM1", "file": ...), exit code and error (null, or machine code and message).
nlohmann::ordered_json JsonHead(const std::string& command, const std::string& subjectKey,
                                const std::string& subject, const PortResult& result);

// value as one line of JSON. Texts hold UTF-8 only (bytes of a board's replies are mapped to
// characters beforehand).
std::string JsonLine(const nlohmann::ordered_json& value);

} // namespace kronax::cli
