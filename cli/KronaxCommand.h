#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace kronax::cli {

// Runs the kronax command line args (without the program name), printing to out and err, and
// returns the exit code (ExitCode.h).
int RunKronax(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Every command by name with the names of its own options ("-p", "--port", ...), and every
// command's own subcommands as "history show" with theirs, from the one definition that the
// command line is parsed with, for checking the manual page, the completion and the guide
// against it.
std::map<std::string, std::vector<std::string>> CommandOptions();

} // namespace kronax::cli
