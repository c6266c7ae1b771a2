#pragma once

#include "link/PortIdentity.h"

#include <string>
#include <vector>

namespace kronax::cli {

// A command line that asks for ports wrongly (exit code 2) or names ports that cannot be found
// (exit code 3); message says which and why.
struct EPortChoice {
    int exitCode;
    std::string message;
};

// Every listed port, by number. A computer without any serial port has no list of them at all
// (Windows: no SERIALCOMM key); that is an empty list, not a failure. Raises EPortChoice.
std::vector<PortIdentity> ListedPorts();

// The ports a board command runs on, each once, in the order given: the --port values (COM<n>, a
// network port's URL, or the device path of a listed port, which stands for that port), or with
// all every listed port. Raises EPortChoice.
std::vector<std::string> ChoosePorts(const std::string& command,
                                     const std::vector<std::string>& named, bool all);

} // namespace kronax::cli
