#include "exchange/PortRecordFolder.h"
#include "link/linux/LinuxPortMap.h"
#include "link/linux/LinuxPortNames.h"
#include "link/network/NetworkPortName.h"

#include <cctype>
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

// Both forms of URL reach the device behind the server's TCP port: "rfc2217://Bench-7:4001" and
// "socket://bench-7:4001" become "net-bench-7-4001.pending". Characters a file name had better
// not hold (an IPv6 address's colons) become underscores.
std::string FileNameOf(const NetworkPortAddress& address) {
    std::string host = address.host;
    for (char& c : host) {
        const auto byte = static_cast<unsigned char>(c);
        c = std::isalnum(byte) || c == '.' || c == '-' ? static_cast<char>(std::tolower(byte))
                                                       : '_';
    }
    return "net-" + host + "-" + std::to_string(address.port) + ".pending";
}

// The port reaches a server on the network as the serial platform opens it: by its own URL, or
// by the one the user's map gives its COM name.
std::optional<NetworkPortAddress> NetworkAddressOf(const std::string& port) {
    if (auto address = ParseNetworkPortUrl(port))
        return address;
    if (auto url = posix::MappedPortUrl(port))
        return ParseNetworkPortUrl(*url);
    return std::nullopt;
}

std::optional<std::string> RecordFileName(const std::string& port) {
    if (auto address = NetworkAddressOf(port))
        return FileNameOf(*address);
    const auto device = posix::DevicePathOf(port);
    if (!device)
        return std::nullopt;
    std::error_code error;
    const fs::path resolved = fs::canonical(*device, error);
    if (error)
        return std::nullopt;
    return FileNameOf(resolved);
}

} // namespace

std::optional<fs::path> PortRecordFile(const std::string& port) {
    const auto name = RecordFileName(port);
    if (!name)
        return std::nullopt;
    const fs::path folder = RecordFolder();
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    if (!IsPrivateFolder(folder))
        return std::nullopt;
    return folder / *name;
}

} // namespace kronax
