#pragma once

#include <string>
#include <vector>

namespace kronax::sim {

// The null-terminated argument vector posix_spawn takes, pointing into args, which must outlive
// it.
std::vector<char*> ArgumentVector(std::vector<std::string>& args);

} // namespace kronax::sim
