#pragma once

#include <string>

namespace kronax {

// A file name as the system gives it, in UTF-8 for the view: the whole path, or its last part.
// Pure.
std::string FileNameText(const std::string& fileName);
std::string BaseNameText(const std::string& fileName);

// Text in the system's narrow encoding (an error's text, a file name inside it) as UTF-8. Pure.
std::string NativeText(const std::string& text);

// The absolute form of fileName, as the system spells file names; fileName itself when it has
// none.
std::string AbsoluteFileName(const std::string& fileName);

} // namespace kronax
