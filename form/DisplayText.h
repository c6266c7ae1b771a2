#pragma once

#include <string>
#include <string_view>

namespace kronax {

// The program's own texts and the board's replies are 8-bit text in which the micro sign is the
// byte 0xB5: read as Latin-1, every byte keeps its character. Returns the same text as UTF-8,
// which is what the form hands its view. Pure.
std::string DisplayText(std::string_view systemText);

} // namespace kronax
