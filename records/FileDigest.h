#pragma once

#include <string>
#include <string_view>

namespace kronax::records {

// SHA-256 of bytes as 64 lower-case hexadecimal digits. Pure.
std::string Sha256Hex(std::string_view bytes);

} // namespace kronax::records
