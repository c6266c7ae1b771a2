#include "link/linux/LinuxPortIdentity.h"

#include "link/linux/LinuxPortMap.h"
#include "link/linux/LinuxPortNames.h"

#include <filesystem>
#include <fstream>

namespace kronax::posix {
namespace {

namespace fs = std::filesystem;

// An interface of a USB device sits one level below it and the tty at most two below that.
constexpr int UsbDeviceSearchDepth = 4;

std::string FirstLineOf(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The device path resolved through symbolic links when it leads somewhere, else as mapped.
std::string ResolvedPath(const std::string& path) {
    std::error_code error;
    fs::path resolved = fs::canonical(path, error);
    return error ? path : resolved.string();
}

} // namespace

void ReadUsbIdentity(const std::string& ttyName, const std::string& sysRoot, PortIdentity& port) {
    std::error_code error;
    fs::path folder =
        fs::canonical(fs::path(sysRoot) / "class" / "tty" / ttyName / "device", error);
    for (int level = 0; !error && level < UsbDeviceSearchDepth && folder.has_relative_path();
         ++level, folder = folder.parent_path()) {
        if (!fs::exists(folder / "idVendor"))
            continue;
        port.vendorId = FirstLineOf(folder / "idVendor");
        port.productId = FirstLineOf(folder / "idProduct");
        port.manufacturer = FirstLineOf(folder / "manufacturer");
        port.product = FirstLineOf(folder / "product");
        port.serialNumber = FirstLineOf(folder / "serial");
        return;
    }
}

PortIdentity IdentityOf(const std::string& name, const std::string& sysRoot) {
    PortIdentity port;
    port.name = name;
    if (auto path = DevicePathOf(name)) {
        port.devicePath = ResolvedPath(*path);
        ReadUsbIdentity(fs::path(port.devicePath).filename().string(), sysRoot, port);
    }
    return port;
}

} // namespace kronax::posix

namespace kronax {

PortIdentity SystemPortIdentity(const std::string& name) {
    if (auto url = posix::MappedPortUrl(name))
        return PortIdentity{name, *url, {}, {}, {}, {}, {}};
    return posix::IdentityOf(name, "/sys");
}

} // namespace kronax
