#include "config_file/FileError.h"
#include "config_file/FileSteps.h"
#include "config_file/RegularFile.h"
#include "config_file/TemporaryFiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <windows.h>

namespace kronax {
namespace fs = std::filesystem;

namespace {

std::error_code WriteFailure() {
    return std::make_error_code(std::errc::io_error);
}

std::optional<std::string> ReadWhole(const fs::path& path, std::error_code& reason) {
    std::error_code sizeUnknown;
    if (fs::file_size(path, sizeUnknown) > MaxFileBytes && !sizeUnknown) {
        reason = FileError::TooLarge;
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        reason = std::make_error_code(std::errc::permission_denied);
        return std::nullopt;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        reason = std::make_error_code(std::errc::io_error);
        return std::nullopt;
    }
    return content.str();
}

std::error_code WriteWhole(std::ostream& out, const std::string& content) {
    if (const std::error_code reason = FileStep())
        return reason;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    return out.fail() ? WriteFailure() : std::error_code();
}

fs::path FollowLinks(const std::string& fileName) {
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(fs::path(fileName), error);
    return error ? fs::path(fileName) : resolved;
}

// The new content, padded with line ends to the old size, replaces every old byte in one write
// before the file is cut to its new size: a stop at any point leaves a whole file.
std::error_code RewriteInPlace(const fs::path& target, const std::string& content,
                               std::size_t oldSize) {
    std::fstream inPlace(target, std::ios::binary | std::ios::in | std::ios::out);
    if (!inPlace)
        return std::make_error_code(std::errc::permission_denied);
    std::string padded = content;
    if (padded.size() < oldSize)
        padded.resize(oldSize, '\n');
    std::error_code reason = WriteWhole(inPlace, padded);
    inPlace.close();
    if (!reason && content.size() < oldSize)
        reason = FileStep();
    if (!reason && content.size() < oldSize)
        fs::resize_file(target, content.size(), reason);
    return reason;
}

std::error_code ReplaceThroughTemporary(const fs::path& target, const fs::path& temporary,
                                        std::ofstream& out, const fs::file_status* existing,
                                        const std::string& content) {
    std::error_code reason = WriteWhole(out, content);
    out.close();
    if (!reason && existing)
        fs::permissions(temporary, existing->permissions(), reason);
    if (!reason)
        reason = FileStep();
    if (!reason)
        fs::rename(temporary, target, reason);
    if (reason) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
    }
    return reason;
}

} // namespace

unsigned long CurrentProcessId() {
    return GetCurrentProcessId();
}

bool ProcessRuns(unsigned long processId) {
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId));
    if (process == nullptr)
        return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD exitCode = 0;
    const bool runs = GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE;
    CloseHandle(process);
    return runs;
}

std::error_code CreateNewFile(const std::string& fileName) {
    const HANDLE file = CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            return std::make_error_code(std::errc::file_exists);
        return {static_cast<int>(error), std::system_category()};
    }
    CloseHandle(file);
    return {};
}

bool IsRegularFile(const std::string& fileName) {
    std::error_code error;
    return fs::is_regular_file(fs::status(fileName, error));
}

std::optional<std::string> ReadRegularFile(const std::string& fileName, std::error_code* reason) {
    std::error_code error;
    const fs::file_status status = fs::status(fileName, error);
    std::optional<std::string> content;
    if (!error && !fs::is_regular_file(status))
        error = FileError::NotRegularFile;
    if (!error)
        content = ReadWhole(fileName, error);
    if (reason)
        *reason = error;
    return content;
}

std::error_code EditRegularFile(const std::string& fileName, const FileEdit& edit) {
    const fs::path target = FollowLinks(fileName);
    std::error_code reason;
    const fs::file_status status = fs::status(target, reason);
    const bool found = fs::exists(status);
    if (!found && status.type() != fs::file_type::not_found)
        return reason ? reason : std::make_error_code(std::errc::io_error);
    std::string oldContent;
    if (found) {
        if (!fs::is_regular_file(status))
            return FileError::NotRegularFile;
        // A read-only file stays unchanged, even where renaming over it would be allowed.
        if ((status.permissions() & fs::perms::owner_write) == fs::perms::none)
            return FileError::ReadOnlyFile;
        std::optional<std::string> content = ReadWhole(target, reason);
        if (!content)
            return reason;
        oldContent = std::move(*content);
    }
    const std::string content = edit(oldContent);
    const TemporaryName temporary(target);
    reason = FileStep();
    std::ofstream out;
    if (!reason)
        out.open(temporary.Path(), std::ios::binary | std::ios::trunc);
    if (out.is_open())
        reason = ReplaceThroughTemporary(target, temporary.Path(), out, found ? &status : nullptr,
                                         content);
    else if (found)
        // No temporary file beside it: the writable file itself takes the new content.
        reason = RewriteInPlace(target, content, oldContent.size());
    else if (!reason)
        reason = std::make_error_code(std::errc::permission_denied);
    if (!reason)
        RemoveStaleTemporaries(target);
    return reason;
}

} // namespace kronax
