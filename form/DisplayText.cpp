#include "form/DisplayText.h"

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

} // namespace kronax
