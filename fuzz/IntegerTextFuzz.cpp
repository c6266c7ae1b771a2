// The integer reader against a reference written straight from its rules with the standard
// library's number parsing, which shares no code with it.
#include "fuzz/FuzzInput.h"
#include "protocol/IntegerText.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace {

bool StartsWithDigit(std::string_view text, int base) {
    if (text.empty())
        return false;
    const char c = text.front();
    const bool decimal = c >= '0' && c <= '9';
    const bool hexLetter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    return decimal || (base == 16 && hexLetter);
}

template <typename Number> std::optional<Number> WholeNumber(std::string_view text, int base) {
    if (!StartsWithDigit(text, base))
        return std::nullopt;
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<std::int32_t> ReferenceInteger(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);
    for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
        if (!text.starts_with(prefix))
            continue;
        const auto bits = WholeNumber<std::uint32_t>(text.substr(prefix.size()), 16);
        if (!bits)
            return std::nullopt;
        const std::uint32_t signedBits = negative ? ~*bits + 1u : *bits;
        return static_cast<std::int32_t>(signedBits);
    }
    const auto magnitude = WholeNumber<std::int64_t>(text, 10);
    if (!magnitude)
        return std::nullopt;
    const std::int64_t value = negative ? -*magnitude : *magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (kronax::ReadInteger(text) != ReferenceInteger(text))
        kronax::fuzz::Fail("ReadInteger differs from the reference");
    return 0;
}
