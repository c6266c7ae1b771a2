#include "cli/Text.h"

#include "exchange/VisibleLineEnds.h"

#include <algorithm>
#include <numeric>

namespace kronax::cli {
namespace {

// The number of single-letter insertions, deletions, changes and swaps of neighbours that turn
// a into b.
std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    std::iota(d[0].begin(), d[0].end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// The length of the UTF-8 sequence at the start of text, or 0 when it is none.
std::size_t SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text.front());
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || length > text.size())
        return 0;
    for (std::size_t index = 1; index < length; ++index)
        if ((static_cast<unsigned char>(text[index]) & 0xC0) != 0x80)
            return 0;
    return length;
}

} // namespace

std::string TerminalText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    while (!text.empty()) {
        const auto lead = static_cast<unsigned char>(text.front());
        const std::size_t length = SequenceLength(text);
        if (lead == '\n' || lead == '\t' || (length == 1 && lead >= 0x20 && lead != 0x7F)) {
            shown += text.front();
        } else if (length == 0 || length == 1) {
            shown += VisibleControl(lead);
        } else if (lead == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0) {
            shown += VisibleControl(static_cast<unsigned char>(text[1]));
        } else {
            shown += text.substr(0, length);
            text.remove_prefix(length);
            continue;
        }
        text.remove_prefix(length == 0 ? 1 : length);
    }
    return shown;
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

std::string DidYouMean(const std::string& word, const std::vector<std::string>& candidates) {
    std::string nearest;
    std::size_t best = std::max<std::size_t>(2, word.size() / 3) + 1;
    for (const std::string& candidate : candidates)
        if (const std::size_t distance = EditDistance(word, candidate); distance < best) {
            best = distance;
            nearest = candidate;
        }
    return nearest.empty() ? "" : " (did you mean " + nearest + "?)";
}

} // namespace kronax::cli
