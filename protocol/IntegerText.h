#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kronax {

// Reads a whole text as one signed 32-bit number, the way entry fields and the remembered
// port number are read: leading spaces, at most one "+" or "-", then decimal digits, or
// hexadecimal digits of either case after "$", "x", "X", "0x" or "0X". Anything else, a
// trailing blank included, gives no number. A decimal value must fit the signed 32-bit range;
// a hexadecimal one may use all 32 bits and is taken as two's complement ("$FFFFFFFF" is -1).
std::optional<std::int32_t> ReadInteger(std::string_view text);

} // namespace kronax
