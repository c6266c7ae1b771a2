#pragma once

#include <string>

namespace kronax {

// True when fileName names an existing regular file, also through symbolic links; false for a
// folder, FIFO, device or socket, a missing file or a name the file system cannot check. Never
// opens the file. Raises nothing. Any thread.
bool FileExists(const std::string& fileName);

} // namespace kronax
