#include "config_file/FileError.h"
#include "config_file/FileSteps.h"
#include "config_file/RegularFile.h"
#include "config_file/TemporaryFiles.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace kronax {
namespace fs = std::filesystem;

namespace {

// Closes the descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0)
            close(fd_);
    }
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }

private:
    int fd_;
};

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// Non-blocking, so that a FIFO or device slipped in after the check cannot hold the caller.
int OpenNonBlocking(const fs::path& path, int flags) {
    return open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

std::error_code CheckRegular(int fd, struct stat& info) {
    if (fstat(fd, &info) != 0)
        return LastError();
    if (!S_ISREG(info.st_mode))
        return FileError::NotRegularFile;
    return static_cast<std::uintmax_t>(info.st_size) > MaxFileBytes ? FileError::TooLarge
                                                                    : std::error_code();
}

// Reads to the end; a file grown beyond MaxFileBytes since it was checked is refused as well.
std::optional<std::string> ReadAll(int fd, std::error_code& reason) {
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count == 0)
            return content;
        if (count < 0 && errno != EINTR) {
            reason = LastError();
            return std::nullopt;
        }
        if (count > 0)
            content.append(buffer, static_cast<std::size_t>(count));
        if (content.size() > MaxFileBytes) {
            reason = FileError::TooLarge;
            return std::nullopt;
        }
    }
}

std::error_code WriteAll(int fd, const std::string& content) {
    if (const std::error_code reason = FileStep())
        return reason;
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t count =
            pwrite(fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
        if (count < 0 && errno != EINTR)
            return LastError();
        if (count > 0)
            done += static_cast<std::size_t>(count);
    }
    return {};
}

std::error_code Flush(int fd) {
    if (const std::error_code reason = FileStep())
        return reason;
    return fsync(fd) == 0 ? std::error_code() : LastError();
}

// The file a name ends at after its symbolic links, also when the last link dangles; a loop
// is left to the system to report when the file is opened.
fs::path FollowLinks(const fs::path& name) {
    fs::path current = name;
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error)))
            return current;
        const fs::path next = fs::read_symlink(current, error);
        if (error)
            return current;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return name;
}

// The existing file as found before an update.
struct Existing {
    bool found = false;
    struct stat info {};
    std::string content;
};

std::error_code LookUp(const fs::path& target, Existing& existing) {
    struct stat info;
    if (stat(target.c_str(), &info) != 0)
        return errno == ENOENT ? std::error_code() : LastError();
    if (!S_ISREG(info.st_mode))
        return FileError::NotRegularFile;
    if (static_cast<std::uintmax_t>(info.st_size) > MaxFileBytes)
        return FileError::TooLarge;
    // A read-only file stays unchanged, even where renaming over it would be allowed.
    if ((info.st_mode & S_IWUSR) == 0)
        return FileError::ReadOnlyFile;
    const Descriptor fd(OpenNonBlocking(target, O_RDONLY));
    if (!fd.Valid())
        return LastError();
    std::error_code reason = CheckRegular(fd.Get(), existing.info);
    if (reason)
        return reason;
    std::optional<std::string> content = ReadAll(fd.Get(), reason);
    if (!content)
        return reason;
    existing.found = true;
    existing.content = std::move(*content);
    return {};
}

// Reserves room for size bytes without changing the file's length, so that a full disk fails
// before a byte of the old content is overwritten and a stop leaves no zeros at its end.
std::error_code Reserve(int fd, off_t size) {
    if (const std::error_code reason = FileStep())
        return reason;
#ifdef __linux__
    if (fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) == 0)
        return {};
    if (errno != EOPNOTSUPP)
        return LastError();
#endif
    const int error = posix_fallocate(fd, 0, size);
    return error == 0 ? std::error_code() : std::error_code(error, std::generic_category());
}

// New content shorter than the old is padded with line ends to the old length, so that the one
// write replaces every old byte and the file reads as the new content until it is cut.
std::string PaddedToCover(const std::string& content, off_t oldSize) {
    const auto size = static_cast<std::size_t>(oldSize);
    if (content.size() >= size)
        return content;
    std::string padded = content;
    padded.resize(size, '\n');
    return padded;
}

std::error_code RewriteInPlace(const fs::path& target, const std::string& content) {
    const Descriptor fd(OpenNonBlocking(target, O_WRONLY));
    if (!fd.Valid())
        return LastError();
    struct stat info;
    std::error_code reason = CheckRegular(fd.Get(), info);
    const auto size = static_cast<off_t>(content.size());
    if (!reason && size > info.st_size)
        reason = Reserve(fd.Get(), size);
    if (!reason)
        reason = WriteAll(fd.Get(), PaddedToCover(content, info.st_size));
    if (!reason && size < info.st_size)
        reason = Flush(fd.Get());
    if (!reason && size < info.st_size) {
        reason = FileStep();
        if (!reason && ftruncate(fd.Get(), size) != 0)
            reason = LastError();
    }
    return reason ? reason : Flush(fd.Get());
}

std::error_code KeepOwnership(int fd, const struct stat& info) {
    if (const std::error_code reason = FileStep())
        return reason;
    if (fchmod(fd, info.st_mode & 07777) != 0)
        return LastError();
    // Only a privileged writer may give the file away; the group is kept where allowed.
    if (fchown(fd, info.st_uid, info.st_gid) != 0) {
        [[maybe_unused]] const int groupKept = fchown(fd, static_cast<uid_t>(-1), info.st_gid);
    }
    return {};
}

// Writes content to a fresh temporary file and renames it over target. noTemporary is set when
// the folder refuses the temporary file, so that nothing has changed.
std::error_code ReplaceAtomically(const fs::path& target, const Existing& existing,
                                  const std::string& content, bool& noTemporary) {
    const TemporaryName temporary(target);
    std::error_code reason = FileStep();
    const Descriptor fd(
        reason ? -1
               : open(temporary.Path().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    noTemporary = !fd.Valid();
    if (noTemporary)
        return reason ? reason : LastError();
    reason = WriteAll(fd.Get(), content);
    if (!reason && existing.found)
        reason = KeepOwnership(fd.Get(), existing.info);
    if (!reason)
        reason = Flush(fd.Get());
    if (!reason)
        reason = FileStep();
    if (!reason && rename(temporary.Path().c_str(), target.c_str()) != 0)
        reason = LastError();
    if (reason)
        unlink(temporary.Path().c_str());
    return reason;
}

} // namespace

unsigned long CurrentProcessId() {
    return static_cast<unsigned long>(getpid());
}

bool ProcessRuns(unsigned long processId) {
    const auto pid = static_cast<pid_t>(processId);
    if (pid <= 0 || static_cast<unsigned long>(pid) != processId)
        return false;
    return kill(pid, 0) == 0 || errno != ESRCH;
}

std::error_code CreateNewFile(const std::string& fileName) {
    const int fd = open(fileName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return {errno, std::generic_category()};
    close(fd);
    return {};
}

bool IsRegularFile(const std::string& fileName) {
    struct stat info;
    return stat(fileName.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> ReadRegularFile(const std::string& fileName, std::error_code* reason) {
    std::error_code error;
    struct stat info;
    std::optional<std::string> content;
    if (stat(fileName.c_str(), &info) != 0)
        error = LastError();
    else if (!S_ISREG(info.st_mode))
        error = FileError::NotRegularFile;
    else if (static_cast<std::uintmax_t>(info.st_size) > MaxFileBytes)
        error = FileError::TooLarge;
    if (!error) {
        const Descriptor fd(OpenNonBlocking(fileName, O_RDONLY));
        error = fd.Valid() ? CheckRegular(fd.Get(), info) : LastError();
        if (!error)
            content = ReadAll(fd.Get(), error);
    }
    if (reason)
        *reason = error;
    return content;
}

std::error_code EditRegularFile(const std::string& fileName, const FileEdit& edit) {
    const fs::path target = FollowLinks(fileName);
    Existing existing;
    if (const std::error_code reason = LookUp(target, existing))
        return reason;
    const std::string content = edit(existing.content);
    std::error_code reason;
    // Replacing a file with other hard links would cut it off from them.
    if (existing.found && existing.info.st_nlink > 1) {
        reason = RewriteInPlace(target, content);
    } else {
        bool noTemporary = false;
        reason = ReplaceAtomically(target, existing, content, noTemporary);
        if (noTemporary && existing.found)
            reason = RewriteInPlace(target, content);
    }
    if (!reason)
        RemoveStaleTemporaries(target);
    return reason;
}

} // namespace kronax
