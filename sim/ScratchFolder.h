#pragma once

#include <string>

namespace kronax::sim {

// A new empty folder in the temporary folder, named <prefix>-<pid>-<n>, for the files of a
// process a test starts; one left by an earlier program of the same pid is emptied.
std::string NewScratchFolder(const std::string& prefix);

} // namespace kronax::sim
