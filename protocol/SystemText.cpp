#include "protocol/SystemText.h"

namespace kronax {

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

std::string SystemTextFromUtf8(std::string_view utf8) {
    std::string text;
    text.reserve(utf8.size());
    for (std::size_t index = 0; index < utf8.size(); ++index) {
        const auto lead = static_cast<unsigned char>(utf8[index]);
        if (lead < 0x80) {
            text += utf8[index];
            continue;
        }
        std::size_t length = 1;
        while (index + length < utf8.size() &&
               (static_cast<unsigned char>(utf8[index + length]) & 0xC0) == 0x80)
            ++length;
        const bool latin1 = length == 2 && (lead == 0xC2 || lead == 0xC3);
        text += latin1 ? static_cast<char>(((lead & 0x03) << 6) |
                                           (static_cast<unsigned char>(utf8[index + 1]) & 0x3F))
                       : '?';
        index += length - 1;
    }
    return text;
}

} // namespace kronax
