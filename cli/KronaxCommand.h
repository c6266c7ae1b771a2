#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kronax::cli {

// Runs the kronax command line args (without the program name), printing to out and err, and
// returns the exit code (ExitCode.h).
int RunKronax(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kronax::cli
