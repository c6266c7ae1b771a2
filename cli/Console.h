#pragma once

namespace kronax::cli {

// Makes a console show the program's UTF-8 output ("µC Version") as written. A Windows console
// would take the bytes in its own code page, so while standard output or error is a console, its
// text goes there as UTF-16; redirected output stays UTF-8. Elsewhere the terminal takes UTF-8
// as it is. Call before anything is printed.
void PrepareConsoleOutput();

// Makes standard input or output carry a file's bytes as they are, for a file read from or
// printed to it in place of a named one ("-"). Windows would otherwise add a CR before every LF
// of the output, drop the CRs of the input and end the input at the first Ctrl+Z. Elsewhere
// nothing changes. Call before the stream is used.
void UseStandardInputForFileBytes();
void UseStandardOutputForFileBytes();

} // namespace kronax::cli
