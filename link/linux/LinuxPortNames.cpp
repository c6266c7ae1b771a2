#include "link/linux/LinuxPortNames.h"

#include "link/PortName.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sys/stat.h>

namespace kronax::posix {
namespace {

struct KernelFamily {
    const char* prefix;
    unsigned firstNumber;
};

constexpr std::array<KernelFamily, 3> Families{{{"ttyS", 1}, {"ttyUSB", 101}, {"ttyACM", 201}}};
constexpr unsigned FamilySize = 100;
const char* const SysTtyFolder = "/sys/class/tty";

std::optional<unsigned> NumberAfter(const std::string& text, const std::string& prefix,
                                    unsigned maxDigits) {
    if (text.size() <= prefix.size() || text.size() > prefix.size() + maxDigits ||
        text.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    std::string digits = text.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    if (digits.size() > 1 && digits[0] == '0')
        return std::nullopt;
    return static_cast<unsigned>(std::stoul(digits));
}

std::optional<std::string> Environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return std::string(value);
}

std::string UserPortFolder() {
    if (auto config = Environment("XDG_CONFIG_HOME"))
        return *config + "/kronax/ports";
    return Environment("HOME").value_or("") + "/.config/kronax/ports";
}

bool IsSymlink(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// A link whose device is unplugged, or a closed pseudo-terminal's, dangles: no port is there.
bool LeadsToCharacterDevice(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

// Calls visit with every entry name of folder; returns 0 or the errno of opening it.
template <typename Visit> int ForEachEntry(const std::string& folder, Visit visit) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return errno;
    while (const dirent* entry = readdir(dir))
        visit(std::string(entry->d_name));
    closedir(dir);
    return 0;
}

int LinkedPorts(const std::string& folder, std::vector<std::string>& names) {
    return ForEachEntry(folder, [&](const std::string& entry) {
        const std::string path = folder + "/" + entry;
        if (ComPortNumber(entry) && IsSymlink(path) && LeadsToCharacterDevice(path))
            names.push_back(entry);
    });
}

// A ttyS device exists for every possible port; only one with a UART type has hardware.
bool HasHardware(const std::string& device) {
    if (device.rfind("ttyS", 0) != 0)
        return true;
    std::ifstream type(std::string(SysTtyFolder) + "/" + device + "/type");
    int uartType = 0;
    return type >> uartType && uartType != 0;
}

std::optional<unsigned> KernelPortNumber(const std::string& device) {
    for (const KernelFamily& family : Families)
        if (auto k = NumberAfter(device, family.prefix, 2))
            return family.firstNumber + *k;
    return std::nullopt;
}

std::optional<std::string> KernelDeviceOf(unsigned number) {
    for (const KernelFamily& family : Families)
        if (number >= family.firstNumber && number < family.firstNumber + FamilySize)
            return "/dev/" + std::string(family.prefix) +
                   std::to_string(number - family.firstNumber);
    return std::nullopt;
}

} // namespace

std::optional<std::string> DevicePathOf(const std::string& portName) {
    auto number = ComPortNumber(portName);
    if (!number)
        return std::nullopt;
    if (auto folder = Environment("KRONAX_PORTS"))
        return *folder + "/" + portName;
    std::string userLink = UserPortFolder() + "/" + portName;
    if (IsSymlink(userLink))
        return userLink;
    return KernelDeviceOf(*number);
}

int PresentPortNames(std::vector<std::string>& names) {
    if (auto folder = Environment("KRONAX_PORTS"))
        return LinkedPorts(*folder, names);
    int error = ForEachEntry(SysTtyFolder, [&](const std::string& device) {
        if (auto number = KernelPortNumber(device);
            number && HasHardware(device) && LeadsToCharacterDevice("/dev/" + device))
            names.push_back("COM" + std::to_string(*number));
    });
    if (error)
        return error;
    std::vector<std::string> linked;
    LinkedPorts(UserPortFolder(), linked); // the folder is optional
    for (const std::string& name : linked)
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    return 0;
}

} // namespace kronax::posix
