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

} // namespace

std::string WithVisibleCrs(std::string_view text) {
    return Shown(text, false);
}

std::string WithVisibleLineEnds(std::string_view text) {
    return Shown(text, true);
}

} // namespace kronax
