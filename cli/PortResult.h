#pragma once

#include "cli/ExitCode.h"

#include <nlohmann/json.hpp>

#include <string>

namespace kronax::cli {

// What one action on one port ends with.
struct PortResult {
    int exitCode = ExitSuccess;
    std::string text;            // for standard output: lines, each ending with a line end
    nlohmann::ordered_json json; // the same for --json: an object
    std::string problem;         // one line for standard error naming port or file; or empty
};

} // namespace kronax::cli
