#include "cli/Console.h"

namespace kronax::cli {

void PrepareConsoleOutput() {}

} // namespace kronax::cli
