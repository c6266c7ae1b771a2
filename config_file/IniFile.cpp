#include "config_file/IniFile.h"
#include "config_file/IniText.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <system_error>

namespace kronax {
namespace fs = std::filesystem;

namespace {

std::optional<std::string> ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return content.str();
}

std::string WithoutTrailingBlanks(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\v'))
        text.pop_back();
    return text;
}

// A name beside the target that no other writer, in this process or another, picks at the same
// time.
fs::path TemporaryBeside(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    static const unsigned processPart = std::random_device{}();
    fs::path temporary = target;
    temporary += ".tmp" + std::to_string(processPart) + "-" + std::to_string(++counter);
    return temporary;
}

// The file a name stands for, so that replacing it keeps a symbolic link in its place.
fs::path ResolvedTarget(const std::string& fileName) {
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(fs::path(fileName), error);
    return error ? fs::path(fileName) : resolved;
}

bool WriteWholeFile(const fs::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    return !out.fail();
}

// Writes content to a temporary file beside target and renames it over target, which keeps the
// permissions it had (status). On failure the temporary file is removed and target is untouched.
bool ReplaceFile(const fs::path& target, const fs::file_status& status,
                 const std::string& content) {
    const fs::path temporary = TemporaryBeside(target);
    std::error_code error;
    bool written = WriteWholeFile(temporary, content);
    if (written && fs::exists(status))
        fs::permissions(temporary, status.permissions(), error);
    if (written) {
        fs::rename(temporary, target, error);
        written = !error;
    }
    if (!written)
        fs::remove(temporary, error);
    return written;
}

} // namespace

EIniWrite::EIniWrite(const std::string& fileName)
    : std::runtime_error("Unable to write to " + fileName) {}

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

std::string TIniFile::ReadEntry(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
    const std::optional<std::string> text = ReadWholeFile(fileName_);
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
    const fs::path target = ResolvedTarget(fileName_);
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    std::string oldText;
    if (fs::exists(status)) {
        // A read-only file stays unchanged, even where renaming over it would be allowed.
        const bool readOnly = (status.permissions() & fs::perms::owner_write) == fs::perms::none;
        std::optional<std::string> text = ReadWholeFile(target);
        if (!fs::is_regular_file(status) || readOnly || !text)
            throw EIniWrite(fileName_);
        oldText = std::move(*text);
    }
    if (!ReplaceFile(target, status, WithIniEntry(oldText, section, key, value)))
        throw EIniWrite(fileName_);
}

} // namespace kronax
