#include "cli/Console.h"
#include "cli/KronaxCommand.h"

#include <iostream>

int main(int argc, char** argv) {
    kronax::cli::PrepareConsoleOutput();
    const std::vector<std::string> args(argv + 1, argv + argc);
    return kronax::cli::RunKronax(args, std::cout, std::cerr);
}
