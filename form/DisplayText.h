#pragma once

#include <string>
#include <string_view>

namespace kronax {

// The program's own texts and the board's replies are 8-bit text in which the micro sign is the
// byte 0xB5: read as Latin-1, every byte keeps its character. Returns the same text as UTF-8,
// which is what the form hands its view. Pure.
std::string DisplayText(std::string_view systemText);

// Text from a board (or a file, a station, the server) as DisplayText gives it, but with every
// control character other than CR and LF made visible ("\x1B"), so that no such text can hide
// what it says behind them. CR and LF stay: the labels keep the board's line ends. Pure.
std::string BoardText(std::string_view systemText);

} // namespace kronax
