#include "protocol/IntegerText.h"

#include "protocol/HexDigits.h"

namespace kronax {
namespace {

std::size_t HexPrefixLength(std::string_view digits) {
    if (digits.starts_with('$') || digits.starts_with('x') || digits.starts_with('X'))
        return 1;
    if (digits.starts_with("0x") || digits.starts_with("0X"))
        return 2;
    return 0;
}

std::optional<std::uint32_t> ReadHexMagnitude(std::string_view digits) {
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<std::int64_t> ReadDecimalMagnitude(std::string_view digits) {
    if (digits.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 0x80000000ll)
            return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<std::int32_t> ReadInteger(std::string_view text) {
    while (text.starts_with(' '))
        text.remove_prefix(1);

    bool negative = false;
    if (text.starts_with('+') || text.starts_with('-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }

    if (const std::size_t prefix = HexPrefixLength(text); prefix > 0) {
        const auto magnitude = ReadHexMagnitude(text.substr(prefix));
        if (!magnitude)
            return std::nullopt;
        // Negation wraps like the 32-bit register it stands for: "-$80000000" stays the minimum.
        const std::uint32_t bits = negative ? 0u - *magnitude : *magnitude;
        return static_cast<std::int32_t>(bits);
    }

    const auto magnitude = ReadDecimalMagnitude(text);
    if (!magnitude)
        return std::nullopt;
    const std::int64_t value = negative ? -*magnitude : *magnitude;
    if (value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace kronax
