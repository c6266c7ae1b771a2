#pragma once

#include <string>

namespace kronax {

// Why fileName cannot be opened as a configuration file: "it does not exist", "it is a folder",
// "it is not a regular file" (a FIFO, device or socket), "it cannot be read"; empty when it is a
// readable regular file. Opens nothing but a regular file. Any thread.
std::string UnopenableReason(const std::string& fileName);

} // namespace kronax
