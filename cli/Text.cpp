#include "cli/Text.h"

#include "exchange/VisibleLineEnds.h"

namespace kronax::cli {

std::string Utf8FromSystemText(std::string_view text) {
    std::string utf8;
    utf8.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

std::string PrintableReply(std::string_view text) {
    return Utf8FromSystemText(WithVisibleLineEnds(text));
}

std::string WithoutLineEnds(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    return text;
}

std::string WithUnixLineEnds(std::string_view text) {
    std::string unix;
    for (std::size_t index = 0; index < text.size(); ++index) {
        const bool crBeforeLf = text[index] == '\r' && text.substr(index + 1, 1) == "\n";
        if (!crBeforeLf)
            unix += text[index];
    }
    return unix;
}

std::string PrefixLines(const std::string& text, const std::string& prefix) {
    if (prefix.empty())
        return text;
    std::string prefixed;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        prefixed += prefix + text.substr(start, end - start);
        start = end;
    }
    return prefixed;
}

} // namespace kronax::cli
