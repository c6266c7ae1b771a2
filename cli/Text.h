#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kronax::cli {

// The program's 8-bit texts (the micro sign is the byte 0xB5) and the board's replies as UTF-8
// for a terminal or a JSON document: every byte is taken as its Latin-1 character.
std::string Utf8FromSystemText(std::string_view text);

// A board reply made printable on one line, as the traffic log writes it: CR as "\r", LF as "\n".
std::string PrintableReply(std::string_view text);

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
