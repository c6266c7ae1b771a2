#include "cli/Console.h"

namespace kronax::cli {

void PrepareConsoleOutput() {}

void UseStandardInputForFileBytes() {}

void UseStandardOutputForFileBytes() {}

} // namespace kronax::cli
