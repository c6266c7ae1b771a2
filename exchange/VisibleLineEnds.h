#pragma once

#include <string>
#include <string_view>

namespace kronax {

// The text with each CR shown as the two characters "\r", as the traffic log writes its lines.
std::string WithVisibleCrs(std::string_view text);

// The text with each CR shown as "\r" and each LF as "\n": a board's reply on one line.
std::string WithVisibleLineEnds(std::string_view text);

} // namespace kronax
