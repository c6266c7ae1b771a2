#pragma once

namespace kronax::cli {

// Makes a console show the program's UTF-8 output ("µC Version") as written. A Windows console
// would take the bytes in its own code page, so while standard output or error is a console, its
// text goes there as UTF-16; redirected output stays UTF-8. Elsewhere the terminal takes UTF-8
// as it is. Call before anything is printed.
void PrepareConsoleOutput();

} // namespace kronax::cli
