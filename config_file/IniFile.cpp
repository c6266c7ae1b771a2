#include "config_file/IniFile.h"
#include "config_file/IniText.h"
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

EIniWrite::EIniWrite(const std::string& fileName)
    : std::runtime_error("Unable to write to " + fileName) {}

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

std::string TIniFile::ReadEntry(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
    const std::optional<std::string> text = ReadRegularFile(fileName_);
    if (text) {
        if (std::optional<std::string> value = FindIniValue(*text, section, key))
            return *value;
    }
    return WithoutTrailingBlanks(defaultValue);
}

void TIniFile::WriteEntry(const std::string& section, const std::string& key,
                          const std::string& value) {
    if (!IsWritableIniEntry(section, key, value))
        throw EIniWrite(fileName_);
    const bool written = EditRegularFile(fileName_, [&](const std::string& oldText) {
        return WithIniEntry(oldText, section, key, value);
    });
    if (!written)
        throw EIniWrite(fileName_);
}

} // namespace kronax
