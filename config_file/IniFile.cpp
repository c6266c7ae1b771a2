#include "config_file/IniFile.h"
#include "config_file/FileError.h"
#include "config_file/RegularFile.h"

#include <optional>

namespace kronax {
namespace {

std::string WithoutTrailingBlanks(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\v'))
        text.pop_back();
    return text;
}

} // namespace

EIniWrite::EIniWrite(const std::string& fileName, std::error_code reason)
    : std::runtime_error("Unable to write to " + fileName), reason_(reason) {}

EIniRead::EIniRead(const std::string& fileName, std::error_code reason)
    : std::runtime_error(fileName + ": " + ReasonText(reason)) {}

IniFile::IniFile(std::string fileName) : fileName_(std::move(fileName)) {}

std::string IniFile::Text() const {
    std::error_code reason;
    std::optional<std::string> text = ReadRegularFile(fileName_, &reason);
    if (reason == FileError::TooLarge)
        throw EIniRead(fileName_, reason);
    return text.value_or("");
}

std::string IniFile::ReadEntry(const std::string& section, const std::string& key,
                               const std::string& defaultValue) const {
    const std::optional<std::string> text = ReadRegularFile(fileName_);
    if (text) {
        if (std::optional<std::string> value = FindIniValue(*text, section, key))
            return *value;
    }
    return WithoutTrailingBlanks(defaultValue);
}

void IniFile::WriteEntry(const std::string& section, const std::string& key,
                         const std::string& value) {
    WriteEntries({{section, key, value}});
}

void IniFile::WriteEntries(const std::vector<IniEntry>& entries) {
    for (const IniEntry& entry : entries)
        if (!IsWritableIniEntry(entry.section, entry.key, entry.value))
            throw EIniWrite(fileName_, FileError::EntryNotWritable);
    const std::error_code reason = EditRegularFile(fileName_, [&](const std::string& oldText) {
        std::string text = oldText;
        for (const IniEntry& entry : entries)
            text = WithIniEntry(text, entry.section, entry.key, entry.value);
        return text;
    });
    if (reason)
        throw EIniWrite(fileName_, reason);
}

} // namespace kronax
