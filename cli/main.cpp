#include "cli/Console.h"
#include "cli/KronaxCommand.h"
#include "cli/Signals.h"

#include <iostream>

int main(int argc, char** argv) {
    kronax::cli::PrepareConsoleOutput();
    kronax::cli::InstallStopSignals();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return kronax::cli::RunKronax(args, std::cout, std::cerr);
}
