#include "link/LinuxPortNames.h"
#include "link/PortRecordFolder.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace kronax {
namespace {

namespace fs = std::filesystem;

fs::path RecordFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0')
        return fs::path(runtime) / "kronax";
    std::error_code error;
    const fs::path temp = fs::temp_directory_path(error);
    return (error ? fs::path("/tmp") : temp) / ("kronax-" + std::to_string(getuid()));
}

// A folder in a shared temporary folder could have been made by someone else, or be a link to
// one: only a real folder of the user's that nobody else may enter is used.
bool IsPrivateFolder(const fs::path& folder) {
    struct stat info {};
    return lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
           (info.st_mode & 077) == 0;
}

// "/dev/ttyUSB0" becomes "dev-ttyUSB0.pending".
std::string FileNameOf(const fs::path& device) {
    std::string name = device.relative_path().string();
    for (char& c : name)
        if (c == '/')
            c = '-';
    return name + ".pending";
}

} // namespace

std::optional<fs::path> PortRecordFile(const std::string& port) {
    const auto device = posix::DevicePathOf(port);
    if (!device)
        return std::nullopt;
    std::error_code error;
    const fs::path resolved = fs::canonical(*device, error);
    if (error)
        return std::nullopt;
    const fs::path folder = RecordFolder();
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    if (!IsPrivateFolder(folder))
        return std::nullopt;
    return folder / FileNameOf(resolved);
}

} // namespace kronax
