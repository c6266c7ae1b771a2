#pragma once

#include "cli/Output.h"

#include <CLI/CLI.hpp>

namespace kronax::cli {

// Adds "kronax history" with show, export and prune, which read the record store; its callbacks
// set exitCode. A build without a record store adds nothing.
void SetUpHistory(CLI::App& app, TOutput& output, int& exitCode);

} // namespace kronax::cli
