#include "config_file/RegularFile.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

namespace kronax {
namespace fs = std::filesystem;

namespace {

bool IsRegularPath(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(fs::status(path, error));
}

std::optional<std::string> ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return content.str();
}

bool WriteWhole(std::ofstream& out, const std::string& content) {
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    out.close();
    return !out.fail();
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

fs::path FollowLinks(const std::string& fileName) {
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(fs::path(fileName), error);
    return error ? fs::path(fileName) : resolved;
}

} // namespace

bool IsRegularFile(const std::string& fileName) {
    return IsRegularPath(fileName);
}

std::optional<std::string> ReadRegularFile(const std::string& fileName) {
    if (!IsRegularPath(fileName))
        return std::nullopt;
    return ReadWhole(fileName);
}

bool EditRegularFile(const std::string& fileName, const FileEdit& edit) {
    const fs::path target = FollowLinks(fileName);
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    std::string oldContent;
    const bool found = fs::exists(status);
    if (found) {
        // A read-only file stays unchanged, even where renaming over it would be allowed.
        const bool readOnly = (status.permissions() & fs::perms::owner_write) == fs::perms::none;
        std::optional<std::string> content = ReadWhole(target);
        if (!fs::is_regular_file(status) || readOnly || !content)
            return false;
        oldContent = std::move(*content);
    }
    const std::string content = edit(oldContent);
    const fs::path temporary = TemporaryBeside(target);
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
        if (!found)
            return false;
        // No temporary file beside it: the writable file itself takes the new content.
        std::ofstream inPlace(target, std::ios::binary | std::ios::trunc);
        return inPlace && WriteWhole(inPlace, content);
    }
    bool written = WriteWhole(out, content);
    if (written && found)
        fs::permissions(temporary, status.permissions(), error);
    if (written) {
        fs::rename(temporary, target, error);
        written = !error;
    }
    if (!written)
        fs::remove(temporary, error);
    return written;
}

} // namespace kronax
