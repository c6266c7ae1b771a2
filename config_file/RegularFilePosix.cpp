#include "config_file/RegularFile.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace kronax {
namespace fs = std::filesystem;

namespace {

// The kernel's own limit on links followed in one name.
constexpr int MaxLinkHops = 40;

// Closes the descriptor when it goes out of scope.
class TDescriptor {
public:
    explicit TDescriptor(int fd) : fd_(fd) {}
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    ~TDescriptor() {
        if (fd_ >= 0)
            close(fd_);
    }
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }

private:
    int fd_;
};

// Non-blocking, so that a FIFO or device slipped in after the check cannot hold the caller.
int OpenNonBlocking(const fs::path& path, int flags) {
    return open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

bool IsRegular(int fd, struct stat& info) {
    return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> ReadAll(int fd) {
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count == 0)
            return content;
        if (count < 0 && errno != EINTR)
            return std::nullopt;
        if (count > 0)
            content.append(buffer, static_cast<std::size_t>(count));
    }
}

bool WriteAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t count =
            pwrite(fd, content.data() + done, content.size() - done, static_cast<off_t>(done));
        if (count < 0 && errno != EINTR)
            return false;
        if (count > 0)
            done += static_cast<std::size_t>(count);
    }
    return true;
}

// The file a name ends at after its symbolic links, also when the last link dangles.
fs::path FollowLinks(const fs::path& name) {
    fs::path current = name;
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error)))
            return current;
        const fs::path next = fs::read_symlink(current, error);
        if (error)
            return current;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return current;
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

// The existing file as found before an update.
struct TExisting {
    struct stat info;
    std::string content;
};

enum class Lookup { Missing, Found, Refused };

Lookup LookUp(const fs::path& target, TExisting& existing) {
    struct stat info;
    if (stat(target.c_str(), &info) != 0)
        return errno == ENOENT ? Lookup::Missing : Lookup::Refused;
    // A read-only file stays unchanged, even where renaming over it would be allowed.
    if (!S_ISREG(info.st_mode) || (info.st_mode & S_IWUSR) == 0)
        return Lookup::Refused;
    const TDescriptor fd(OpenNonBlocking(target, O_RDONLY));
    if (!fd.Valid() || !IsRegular(fd.Get(), existing.info))
        return Lookup::Refused;
    std::optional<std::string> content = ReadAll(fd.Get());
    if (!content)
        return Lookup::Refused;
    existing.content = std::move(*content);
    return Lookup::Found;
}

// Reserves the new size first, so that a full disk fails before a byte of the old content is
// overwritten.
bool RewriteInPlace(const fs::path& target, const std::string& content) {
    const TDescriptor fd(OpenNonBlocking(target, O_WRONLY));
    struct stat info;
    if (!fd.Valid() || !IsRegular(fd.Get(), info))
        return false;
    const auto size = static_cast<off_t>(content.size());
    if (size > info.st_size && posix_fallocate(fd.Get(), 0, size) != 0)
        return false;
    return WriteAll(fd.Get(), content) && ftruncate(fd.Get(), size) == 0 && fsync(fd.Get()) == 0;
}

enum class Replacement { Done, Failed, NoTemporary };

Replacement ReplaceAtomically(const fs::path& target, const TExisting* existing,
                              const std::string& content) {
    const fs::path temporary = TemporaryBeside(target);
    const TDescriptor fd(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!fd.Valid())
        return Replacement::NoTemporary;
    bool written = WriteAll(fd.Get(), content);
    if (written && existing) {
        written = fchmod(fd.Get(), existing->info.st_mode & 07777) == 0;
        // Only a privileged writer may give the file away; the group is kept where allowed.
        if (fchown(fd.Get(), existing->info.st_uid, existing->info.st_gid) != 0) {
            [[maybe_unused]] const int groupKept =
                fchown(fd.Get(), static_cast<uid_t>(-1), existing->info.st_gid);
        }
    }
    written = written && fsync(fd.Get()) == 0 && rename(temporary.c_str(), target.c_str()) == 0;
    if (!written)
        unlink(temporary.c_str());
    return written ? Replacement::Done : Replacement::Failed;
}

} // namespace

bool IsRegularFile(const std::string& fileName) {
    struct stat info;
    return stat(fileName.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> ReadRegularFile(const std::string& fileName) {
    if (!IsRegularFile(fileName))
        return std::nullopt;
    const TDescriptor fd(OpenNonBlocking(fileName, O_RDONLY));
    struct stat info;
    if (!fd.Valid() || !IsRegular(fd.Get(), info))
        return std::nullopt;
    return ReadAll(fd.Get());
}

bool EditRegularFile(const std::string& fileName, const FileEdit& edit) {
    const fs::path target = FollowLinks(fileName);
    TExisting existing{};
    const Lookup lookup = LookUp(target, existing);
    if (lookup == Lookup::Refused)
        return false;
    const bool found = lookup == Lookup::Found;
    const std::string content = edit(existing.content);
    // Replacing a file with other hard links would cut it off from them.
    if (found && existing.info.st_nlink > 1)
        return RewriteInPlace(target, content);
    const Replacement replacement = ReplaceAtomically(target, found ? &existing : nullptr, content);
    if (replacement == Replacement::NoTemporary && found)
        return RewriteInPlace(target, content);
    return replacement == Replacement::Done;
}

} // namespace kronax
