#pragma once

#include "cli/Output.h"

#include <CLI/CLI.hpp>

namespace kronax::cli {

// Adds "kronax history" with show, export and prune, which read the record store, and the
// records server's commands; its callbacks set exitCode. A build without a record store adds
// nothing. errorIsTerminal: a sync may show its progress.
void SetUpHistory(CLI::App& app, Output& output, int& exitCode, bool errorIsTerminal);

} // namespace kronax::cli
