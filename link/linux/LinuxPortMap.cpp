#include "link/linux/LinuxPortMap.h"

#include "link/PortName.h"
#include "link/network/NetworkPortName.h"

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace kronax::posix {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::map<unsigned, std::string> ReadPortMap() {
    std::ifstream file(PortMapPath());
    std::ostringstream text;
    text << file.rdbuf();
    return ParsePortMap(text.str());
}

} // namespace

std::string PortMapPath() {
    if (std::string folder = Environment("KRONAX_PORTS"); !folder.empty())
        return folder + "/ports.ini";
    if (std::string config = Environment("XDG_CONFIG_HOME"); !config.empty())
        return config + "/kronax/ports.ini";
    return Environment("HOME") + "/.config/kronax/ports.ini";
}

std::optional<std::string> MappedPortUrl(const std::string& portName) {
    const auto number = ComPortNumber(portName);
    if (!number)
        return std::nullopt;
    const auto ports = ReadPortMap();
    const auto found = ports.find(*number);
    return found == ports.end() ? std::nullopt : std::optional(found->second);
}

std::vector<std::string> MappedPortNames() {
    std::vector<std::string> names;
    for (const auto& [number, url] : ReadPortMap())
        names.push_back("COM" + std::to_string(number));
    return names;
}

} // namespace kronax::posix
