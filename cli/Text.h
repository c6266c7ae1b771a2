#pragma once

#include "protocol/SystemText.h"

#include <string>
#include <string_view>
#include <vector>

namespace kronax::cli {

using kronax::Utf8FromSystemText;

// A board reply made printable on one line, as the traffic log writes it: CR as "\r", LF as "\n".
std::string PrintableReply(std::string_view text);

// UTF-8 text for a terminal, with every control character made visible as the window shows it
// (WithVisibleControls: "\x1B", "\r"), C1 controls (U+0080 to U+009F) and bytes that are no UTF-8
// included; line feeds and tabs stay, since they only lay the text out.
std::string TerminalText(std::string_view text);

// text without the CR and LF characters at its end.
std::string WithoutLineEnds(std::string text);

// The text with every CR LF replaced by a lone LF.
std::string WithUnixLineEnds(std::string_view text);

// Every line of text with prefix in front of it; text ends with a line end.
std::string PrefixLines(const std::string& text, const std::string& prefix);

// " (did you mean read?)" for the candidate nearest to word, when one is near enough to be a
// slip of the fingers; else empty.
std::string DidYouMean(const std::string& word, const std::vector<std::string>& candidates);

} // namespace kronax::cli
