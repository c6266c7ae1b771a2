#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace kronax::cli {

// Runs the kronax command line args (without the program name), printing to out and err, and
// returns the exit code (ExitCode.h).
int RunKronax(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Every subcommand by name with the names of its options ("-p", "--port", ...), from the one
// definition that the command line is parsed with, for checking the manual page and the
// completion against it.
std::map<std::string, std::vector<std::string>> CommandOptions();

} // namespace kronax::cli
