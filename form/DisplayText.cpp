#include "form/DisplayText.h"

#include "exchange/VisibleLineEnds.h"
#include "protocol/SystemText.h"

#include <algorithm>

namespace kronax {

std::string DisplayText(std::string_view systemText) {
    return Utf8FromSystemText(systemText);
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
