#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kronax {

// INI text read and edited by the rules of the Windows profile functions, so that the files this
// program writes read back the same there. Pure: text in, value or text out. A UTF-8 byte-order
// mark at the start is no part of the first line, and an edit keeps it.

struct IniEntry {
    std::string section;
    std::string key;
    std::string value;
};

// The value under section and key in text, or nothing when the section or key is missing.
// Names match case-insensitively and blanks around them are ignored; the first matching section
// and, within it, the first matching key count; the value is trimmed and loses one pair of
// matching outer quotes.
std::optional<std::string> FindIniValue(std::string_view text, std::string_view section,
                                        std::string_view key);

// False for an entry that would not read back as written: a key starting with ";" or "[" or
// holding "=", CR or LF, a section name holding "]", CR or LF, or a value holding CR or LF.
bool IsWritableIniEntry(std::string_view section, std::string_view key, std::string_view value);

// text with the entry set: an existing key's line is replaced, a new key goes after the last key
// line of its section, a new section is appended at the end. Every other byte stays as it was;
// new lines end with CR LF. The value is wrapped in double quotes where reading would otherwise
// change it. The entry must be writable (IsWritableIniEntry).
std::string WithIniEntry(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view value);

} // namespace kronax
