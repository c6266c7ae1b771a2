#pragma once

#include <string>
#include <string_view>

namespace kronax {

// The program's 8-bit texts (the micro sign is the byte 0xB5) and the board's replies as UTF-8
// for a terminal or a JSON document: every byte is taken as its Latin-1 character. Pure.
std::string Utf8FromSystemText(std::string_view text);

// The inverse for texts that came from Utf8FromSystemText: characters up to U+00FF become their
// byte; any other character becomes '?'. Pure.
std::string SystemTextFromUtf8(std::string_view utf8);

} // namespace kronax
