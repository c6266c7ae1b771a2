#pragma once

#include <optional>
#include <string>
#include <vector>

// The user's map from COM<n> to network ports (see ParsePortMap): the file ports.ini in the
// device-map folder KRONAX_PORTS when set, otherwise in $XDG_CONFIG_HOME/kronax (or
// ~/.config/kronax). A missing or unreadable file maps nothing. Read anew at every call, so that
// an edit shows at the next listing or opening.
namespace kronax::posix {

std::string PortMapPath();

// The URL the name is mapped to; nothing for a name that is not mapped.
std::optional<std::string> MappedPortUrl(const std::string& portName);

// Every mapped name, "COM<n>", by number.
std::vector<std::string> MappedPortNames();

} // namespace kronax::posix
