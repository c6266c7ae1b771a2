#include "form/DisplayText.h"

#include "exchange/VisibleLineEnds.h"

#include <algorithm>

namespace kronax {

std::string DisplayText(std::string_view systemText) {
    std::string utf8;
    utf8.reserve(systemText.size());
    for (const char c : systemText) {
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

std::string BoardText(std::string_view systemText) {
    std::string shown;
    for (std::size_t start = 0; start <= systemText.size();) {
        const std::size_t end =
            std::min(systemText.find_first_of("\r\n", start), systemText.size());
        shown += WithVisibleControls(systemText.substr(start, end - start));
        if (end < systemText.size())
            shown += systemText[end];
        start = end + 1;
    }
    return DisplayText(shown);
}

} // namespace kronax
