#include "cli/PortChoice.h"

#include "cli/ExitCode.h"
#include "link/PortFailure.h"
#include "link/PortName.h"
#include "link/SerialPort.h"
#include "link/network/NetworkPortName.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace kronax::cli {
namespace {

// Whether both paths lead to the same file; compared by hand, because the standard library's
// comparison refuses devices.
bool SameFile(const std::string& a, const std::string& b) {
    struct stat first = {};
    struct stat second = {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The name of the listed port whose device is path.
std::string PortAtPath(const std::string& path) {
    for (const PortIdentity& port : ListedPorts())
        if (SameFile(port.devicePath, path))
            return port.name;
    throw EPortChoice{ExitPortError, path + ": no listed port has this device (not present)"};
}

std::string Trimmed(std::string port) {
    port.erase(0, port.find_first_not_of(' '));
    port.erase(port.find_last_not_of(' ') + 1);
    return port;
}

} // namespace

std::vector<PortIdentity> ListedPorts() {
    // Without its folder no port would be listed, which would look like a computer without any.
    if (const char* folder = std::getenv("KRONAX_PORTS"); folder && *folder) {
        std::error_code error;
        if (!std::filesystem::is_directory(folder, error))
            throw EPortChoice{ExitPortError,
                              std::string("KRONAX_PORTS names ") + folder + ", which is no folder"};
    }
    try {
        return ListPortIdentities();
    } catch (const ESerialPort& error) {
        if (ClassifyPlatformError(error.WinErrorCode()) == PortFailureKind::NotPresent)
            return {};
        throw EPortChoice{ExitPortError,
                          "cannot list the serial ports: " + PortFailureReason(error)};
    }
}

std::vector<std::string> ChoosePorts(const std::string& command,
                                     const std::vector<std::string>& named, bool all) {
    const std::string usage = "kronax " + command + ": ";
    if (all == !named.empty())
        throw EPortChoice{ExitUsage, usage + "give either --port COM<n> or --all"};
    std::vector<std::string> ports;
    if (all) {
        for (const PortIdentity& port : ListedPorts())
            ports.push_back(port.name);
        if (ports.empty())
            throw EPortChoice{ExitPortError, "no serial ports present"};
        return ports;
    }
    for (const std::string& given : named) {
        std::string port = Trimmed(given);
        if (port.empty())
            continue;
        if (port.starts_with("/"))
            port = PortAtPath(port);
        else if (!ComPortNumber(port) && !ParseNetworkPortUrl(port))
            throw EPortChoice{ExitUsage, usage + "'" + port +
                                             "' is no port name: give COM<n> (COM1, COM2, ...), "
                                             "a device path or a network port's URL"};
        if (std::find(ports.begin(), ports.end(), port) == ports.end())
            ports.push_back(port);
    }
    if (ports.empty())
        throw EPortChoice{ExitUsage, usage + "--port names no port"};
    return ports;
}

} // namespace kronax::cli
