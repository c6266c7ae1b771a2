#pragma once

#include "protocol/SystemText.h"

#include <string>
#include <string_view>

namespace kronax::cli {

using kronax::Utf8FromSystemText;

// A board reply made printable on one line, as the traffic log writes it: CR as "\r", LF as "\n".
std::string PrintableReply(std::string_view text);

// text without the CR and LF characters at its end.
std::string WithoutLineEnds(std::string text);

// The text with every CR LF replaced by a lone LF.
std::string WithUnixLineEnds(std::string_view text);

// Every line of text with prefix in front of it; text ends with a line end.
std::string PrefixLines(const std::string& text, const std::string& prefix);

} // namespace kronax::cli
