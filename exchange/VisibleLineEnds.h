#pragma once

#include <string>
#include <string_view>

namespace kronax {

// The text with each CR shown as the two characters "\r", as the traffic log writes its lines.
std::string WithVisibleCrs(std::string_view text);

// The text with each CR shown as "\r" and each LF as "\n": a board's reply on one line.
std::string WithVisibleLineEnds(std::string_view text);

// Text from a board, a file, a station or the server as a one-line display shows it, so that it
// cannot drive a terminal or hide behind control characters: CR, LF and tab as "\r", "\n" and
// "\t", every other control character (below 0x20, 0x7F and 0x80 to 0x9F) as "\x" and two
// upper-case hexadecimal digits ("\x1B"); the other characters stay. Takes and gives the system's
// 8-bit text.
std::string WithVisibleControls(std::string_view text);

// "\r", "\n", "\t" or "\xHH" for the control character c.
std::string VisibleControl(unsigned char c);

} // namespace kronax
