#pragma once

#include "protocol/ConfigurationSnapshot.h"

#include <string>
#include <vector>

namespace kronax::fuzz {

// The reports and texts of the configuration transfers and the single commands written a second
// time, straight from the protocol's rules and apart from the program's own code, from the
// exchanges as the channel handed them over.
struct Exchange {
    std::string command;
    bool answered = false;
    std::string reply;
};

// The six queries' report; snapshot goes from the configuration before the read to the one the
// read must leave.
std::string ReferenceReadReport(const std::vector<Exchange>& queries,
                                ConfigurationSnapshot& snapshot);

// The six write commands' report.
std::string ReferenceWriteReport(const std::vector<Exchange>& commands);

std::string ReferenceStartText(const Exchange& exchange);
std::string ReferenceStatusText(const Exchange& exchange);
std::string ReferencePowerOnDefaultText(const Exchange& exchange);
std::string ReferenceBoardInformationText(const Exchange& exchange);

} // namespace kronax::fuzz
