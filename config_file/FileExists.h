#pragma once

#include <string>

namespace kronax {

// True when fileName names an existing file; false for a folder, a missing file or a name the
// file system cannot check. Raises nothing. Any thread.
bool FileExists(const std::string& fileName);

} // namespace kronax
