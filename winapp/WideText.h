#pragma once

#include <string>
#include <string_view>

namespace kronax::win32 {

// UTF-8, the form's texts, as the UTF-16 of Windows' wide functions, and back. Invalid UTF-8
// becomes U+FFFD; nothing is dropped. Pure.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// 8-bit system text (the board's replies, the micro sign as the byte 0xB5) as UTF-16: every byte
// keeps its character, as on the other front end. Pure.
std::wstring WideFromSystemText(std::string_view systemText);

} // namespace kronax::win32
