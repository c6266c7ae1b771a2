#pragma once

#include <string>
#include <string_view>

namespace kronax::win32 {

// A file name from Windows' wide functions as the core opens names: in the ANSI code page. A name
// with a character the code page lacks is given by its short form when the file or folder has
// one, so that it still opens; else the code page's nearest spelling, which the core then reports
// as a file it could not open.
std::string SystemFileName(std::wstring_view wide);

// The full name of the running program, as SystemFileName gives it.
std::string ProgramFileName();

} // namespace kronax::win32
