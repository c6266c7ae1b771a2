#pragma once

#include <optional>
#include <string>

namespace kronax {

// n when name is "COM" followed by a decimal number from 1 to 999999 without leading zeros;
// nothing for any other name, which therefore never reaches the file system.
std::optional<unsigned> ComPortNumber(const std::string& name);

} // namespace kronax
