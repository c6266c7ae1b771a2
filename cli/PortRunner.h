#pragma once

#include "cli/Output.h"
#include "cli/PortResult.h"
#include "protocol/CommandChannel.h"

#include <functional>
#include <string>
#include <vector>

namespace kronax::cli {

using PortAction = std::function<PortResult(ICommandChannel& channel)>;

struct RunOptions {
    bool verbose = false; // the traffic log on standard error
    bool json = false;
    bool several = false; // prefix every line with its port and end with a summary
};

// Runs action on every port at once, one worker thread per port, each opening its own port.
// Prints each port's result as soon as it is done; returns the highest exit code.
int RunOnPorts(const std::vector<std::string>& ports, const PortAction& action,
               const RunOptions& options, TOutput& output);

} // namespace kronax::cli
