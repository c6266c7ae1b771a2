// An entry written into any text reads back as written, and every other entry reads as before.
#include "config_file/IniText.h"
#include "fuzz/FuzzInput.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace {

std::string_view Trimmed(std::string_view s) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\v';
    };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    a = Trimmed(a);
    b = Trimmed(b);
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using kronax::fuzz::Fail;
    kronax::fuzz::FuzzInput input(data, size);
    const std::string section = input.Piece();
    const std::string key = input.Piece();
    const std::string value = input.Piece();
    const std::string otherSection = input.Piece();
    const std::string otherKey = input.Piece();
    const std::string text = input.Rest();

    // Reading any text is safe, whatever it holds.
    const auto otherBefore = kronax::FindIniValue(text, otherSection, otherKey);
    if (!kronax::IsWritableIniEntry(section, key, value))
        return 0;
    const std::string written = kronax::WithIniEntry(text, section, key, value);
    if (kronax::FindIniValue(written, section, key) != value)
        Fail("the written entry does not read back as written");
    const bool sameEntry = SameName(section, otherSection) && SameName(key, otherKey);
    if (!sameEntry && kronax::FindIniValue(written, otherSection, otherKey) != otherBefore)
        Fail("writing one entry changed another");
    if (kronax::WithIniEntry(written, section, key, value) != written)
        Fail("writing the same entry again changed the text");
    return 0;
}
