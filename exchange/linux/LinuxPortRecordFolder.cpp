#include "exchange/PortRecordFolder.h"
#include "link/linux/LinuxPortMap.h"
#include "link/linux/LinuxPortNames.h"
#include "link/network/NetworkPortName.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// An address as text, IPv4 where it is one: "::ffff:10.0.0.7" as "10.0.0.7", and this machine's
// IPv6 loopback address as its IPv4 one, so that "localhost", "127.0.0.1" and "[::1]" agree.
std::string AddressText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (address->sa_family == AF_INET) {
        const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(address);
        return inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof text);
    }
    const in6_addr& ipv6 = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
    if (IN6_IS_ADDR_LOOPBACK(&ipv6))
        return "127.0.0.1";
    if (IN6_IS_ADDR_V4MAPPED(&ipv6))
        return inet_ntop(AF_INET, &ipv6.s6_addr[12], text, sizeof text);
    return inet_ntop(AF_INET6, &ipv6, text, sizeof text);
}

// The server's host as its addresses, the way the connection resolves it: the lowest IPv4
// address it has, or the lowest IPv6 address when it has none; the name itself when it does not
// resolve.
std::string HostKey(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0)
        return host;
    std::vector<std::string> ipv4, ipv6;
    for (const addrinfo* each = found; each != nullptr; each = each->ai_next) {
        if (each->ai_family != AF_INET && each->ai_family != AF_INET6)
            continue;
        std::string text = AddressText(each->ai_addr);
        (text.find(':') == std::string::npos ? ipv4 : ipv6).push_back(std::move(text));
    }
    freeaddrinfo(found);
    const auto& addresses = ipv4.empty() ? ipv6 : ipv4;
    return addresses.empty() ? host : *std::min_element(addresses.begin(), addresses.end());
}

// One port behind a server is one record whatever its URL spells: both forms of URL reach the
// device behind the server's TCP port, and the host counts by its addresses, so that
// "rfc2217://Bench-7:4001" and "socket://192.168.1.7:4001" both become
// "net-192.168.1.7-4001.pending" when Bench-7 is 192.168.1.7. Characters a file name had better
// not hold (an IPv6 address's colons) become underscores.
std::string FileNameOf(const NetworkPortAddress& address) {
    std::string host = HostKey(address.host);
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

// Reads and writes in place through the descriptor it was opened with, so that what is read and
// written is the file that was checked.
class DescriptorRecordFile : public IRecordFile {
public:
    explicit DescriptorRecordFile(int fd) : fd_(fd) {}
    ~DescriptorRecordFile() override { close(fd_); }
    DescriptorRecordFile(const DescriptorRecordFile&) = delete;
    DescriptorRecordFile& operator=(const DescriptorRecordFile&) = delete;

    std::string Text() override {
        std::string text(MaxRecordFileBytes, '\0');
        const ssize_t count = pread(fd_, text.data(), text.size(), 0);
        text.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
        return text;
    }

    void Put(const std::string& text) override {
        if (pwrite(fd_, text.data(), text.size(), 0) < 0)
            return; // a record lost costs one misattributed late answer at most
    }

private:
    int fd_;
};

// Only a plain file of the user's, with no other name, is a record; a longer one than any record
// is emptied.
bool IsUsableRecord(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != getuid() ||
        info.st_nlink != 1)
        return false;
    return static_cast<std::uintmax_t>(info.st_size) <= MaxRecordFileBytes || ftruncate(fd, 0) == 0;
}

} // namespace

std::unique_ptr<IRecordFile> OpenRecordFile(const std::string& port) {
    const auto file = PortRecordFile(port);
    if (!file)
        return nullptr;
    // No link is followed and no FIFO or device is waited for.
    const int fd =
        open(file->c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0)
        return nullptr;
    if (!IsUsableRecord(fd)) {
        close(fd);
        return nullptr;
    }
    return std::make_unique<DescriptorRecordFile>(fd);
}

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
