#include "config_file/IniText.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace kronax {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// One line of the text: [begin, contentEnd) is its content, [contentEnd, end) its line end
// (CR LF, LF, a lone CR, or nothing on a last line without one).
struct Line {
    std::size_t begin;
    std::size_t contentEnd;
    std::size_t end;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t stop = std::min(text.find_first_of("\r\n", pos), text.size());
        std::size_t end = stop;
        if (end < text.size())
            end += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
                       ? std::size_t{2}
                       : std::size_t{1};
        lines.push_back({pos, stop, end});
        pos = end;
    }
    return lines;
}

enum class LineKind { Other, Header, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;  // section or key name, trimmed
    std::string_view value; // trimmed value of a key line
};

ParsedLine ParseLine(std::string_view content) {
    const std::string_view trimmed = Trim(content);
    ParsedLine parsed;
    if (trimmed.empty() || trimmed.front() == ';')
        return parsed;
    if (trimmed.front() == '[') {
        const std::string_view inner = trimmed.substr(1);
        parsed.kind = LineKind::Header;
        parsed.name = Trim(inner.substr(0, inner.find(']')));
        return parsed;
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos)
        return parsed;
    parsed.kind = LineKind::Key;
    parsed.name = Trim(trimmed.substr(0, equals));
    parsed.value = Trim(trimmed.substr(equals + 1));
    return parsed;
}

std::string_view Content(std::string_view text, const Line& line) {
    return text.substr(line.begin, line.contentEnd - line.begin);
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

std::string_view Unquoted(std::string_view value) {
    if (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string ValueAsWritten(std::string_view value) {
    const bool needsQuotes = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) ||
                                                Unquoted(value).size() != value.size());
    if (needsQuotes)
        return std::string("\"").append(value).append("\"");
    return std::string(value);
}

// Index of the first header line naming section, or lines.size().
std::size_t FindSection(std::string_view text, const std::vector<Line>& lines,
                        std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ParsedLine parsed = ParseLine(Content(text, lines[i]));
        if (parsed.kind == LineKind::Header && SameName(parsed.name, section))
            return i;
    }
    return lines.size();
}

std::string AppendSection(std::string_view text, std::string_view section, std::string_view entry) {
    std::string result(text);
    if (!result.empty() && result.back() != '\r' && result.back() != '\n')
        result += "\r\n";
    result.append("[").append(section).append("]\r\n").append(entry).append("\r\n");
    return result;
}

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

std::string_view WithoutByteOrderMark(std::string_view text) {
    if (text.substr(0, ByteOrderMark.size()) == ByteOrderMark)
        text.remove_prefix(ByteOrderMark.size());
    return text;
}

std::string EditedText(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view value) {
    const std::string_view sectionName = Trim(section);
    const std::string_view keyName = Trim(key);
    const std::string written = ValueAsWritten(value);
    const std::vector<Line> lines = SplitLines(text);
    const std::size_t header = FindSection(text, lines, sectionName);
    if (header == lines.size())
        return AppendSection(text, sectionName, std::string(keyName) + "=" + written);

    std::size_t lastKey = header;
    for (std::size_t i = header + 1; i < lines.size(); ++i) {
        const ParsedLine parsed = ParseLine(Content(text, lines[i]));
        if (parsed.kind == LineKind::Header)
            break;
        if (parsed.kind != LineKind::Key)
            continue;
        if (SameName(parsed.name, keyName)) {
            // Keep the file's own spelling of the key.
            const std::string line = std::string(parsed.name) + "=" + written + "\r\n";
            return std::string(text.substr(0, lines[i].begin)) + line +
                   std::string(text.substr(lines[i].end));
        }
        lastKey = i;
    }
    const Line& after = lines[lastKey];
    std::string insertion = after.end == after.contentEnd ? "\r\n" : "";
    insertion += std::string(keyName) + "=" + written + "\r\n";
    return std::string(text.substr(0, after.end)) + insertion + std::string(text.substr(after.end));
}

} // namespace

std::optional<std::string> FindIniValue(std::string_view fullText, std::string_view section,
                                        std::string_view key) {
    const std::string_view text = WithoutByteOrderMark(fullText);
    const std::vector<Line> lines = SplitLines(text);
    const std::string_view wantedKey = Trim(key);
    for (std::size_t i = FindSection(text, lines, Trim(section)) + 1; i < lines.size(); ++i) {
        const ParsedLine parsed = ParseLine(Content(text, lines[i]));
        if (parsed.kind == LineKind::Header)
            break;
        if (parsed.kind == LineKind::Key && SameName(parsed.name, wantedKey))
            return std::string(Unquoted(parsed.value));
    }
    return std::nullopt;
}

bool IsWritableIniEntry(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view trimmedKey = Trim(key);
    const bool keyStartsBadly =
        !trimmedKey.empty() && (trimmedKey.front() == ';' || trimmedKey.front() == '[');
    return !keyStartsBadly && key.find_first_of("=\r\n") == std::string_view::npos &&
           section.find_first_of("]\r\n") == std::string_view::npos &&
           value.find_first_of("\r\n") == std::string_view::npos;
}

std::string WithIniEntry(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value) {
    const std::string_view body = WithoutByteOrderMark(text);
    return std::string(text.substr(0, text.size() - body.size())) +
           EditedText(body, section, key, value);
}

} // namespace kronax
