#include "cli/Text.h"

namespace kronax::cli {

std::string PrintableReply(std::string_view text) {
    std::string printable;
    for (char c : text) {
        if (c == '\r')
            printable += "\\r";
        else if (c == '\n')
            printable += "\\n";
        else
            printable += c;
    }
    return Utf8FromSystemText(printable);
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
