#pragma once

#include "sim/AnswerShaping.h"
#include "sim/SimBoard.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace kronax::sim {

struct SimOptions {
    std::string portsDir; // device-map folder where the port is published
    std::string portName = "COM1";
    std::string stateFile; // power-on default; empty: kept in memory only
    std::string logFile;   // empty: no traffic log
    FaultOptions faults;
    BoardIdentityText identity;
    bool help = false;
    bool version = false;
};

// A command line the simulator cannot run with; what() says why.
class EUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the options after the program name. defaultPortsDir (from $KRONAX_PORTS, may be null)
// serves when --ports-dir is not given. Raises EUsage for an unknown option, a missing or bad
// value, a port name that is not "COM" and a number from 1, or no device-map folder at all.
SimOptions ParseSimOptions(const std::vector<std::string>& args, const char* defaultPortsDir);

// The text printed for --help.
std::string UsageText();

} // namespace kronax::sim
