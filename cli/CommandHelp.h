#pragma once

#include <string>
#include <vector>

namespace kronax::cli {

// The texts that end kronax's --help: what each exit code means, and for each subcommand its own
// codes and a few examples.

// Every exit code kronax ends with, in ascending order (130 stands for every signal).
std::vector<int> AllExitCodes();

// "Exit codes:" and a line per code, for the codes of command or, with an empty command, all.
std::string ExitCodesText(const std::string& command);

// The end of a subcommand's --help: its exit codes and its examples.
std::string CommandFooter(const std::string& command);

} // namespace kronax::cli
