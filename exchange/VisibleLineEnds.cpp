#include "exchange/VisibleLineEnds.h"

namespace kronax {
namespace {

std::string Shown(std::string_view text, bool lineFeedsToo) {
    std::string shown;
    shown.reserve(text.size() + 4);
    for (char c : text) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n' && lineFeedsToo)
            shown += "\\n";
        else
            shown += c;
    }
    return shown;
}

bool IsControl(unsigned char c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

} // namespace

std::string VisibleControl(unsigned char c) {
    switch (c) {
    case '\r':
        return "\\r";
    case '\n':
        return "\\n";
    case '\t':
        return "\\t";
    default:
        static constexpr char Digits[] = "0123456789ABCDEF";
        return std::string("\\x") + Digits[c >> 4] + Digits[c & 0xF];
    }
}

std::string WithVisibleControls(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (IsControl(code))
            shown += VisibleControl(code);
        else
            shown += c;
    }
    return shown;
}

std::string WithVisibleCrs(std::string_view text) {
    return Shown(text, false);
}

std::string WithVisibleLineEnds(std::string_view text) {
    return Shown(text, true);
}

} // namespace kronax
