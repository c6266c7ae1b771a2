#include "link/PortName.h"

#include <algorithm>

namespace kronax {

std::optional<unsigned> ComPortNumber(const std::string& name) {
    const std::string prefix = "COM";
    constexpr std::size_t MaxDigits = 6;
    if (name.size() <= prefix.size() || name.size() > prefix.size() + MaxDigits ||
        name.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    std::string digits = name.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
        digits[0] == '0')
        return std::nullopt;
    return static_cast<unsigned>(std::stoul(digits));
}

} // namespace kronax
