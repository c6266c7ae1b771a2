#include "link/PortIdentity.h"

namespace kronax {

// The device map names no USB details, so only the path is known.
PortIdentity SystemPortIdentity(const std::string& name) {
    PortIdentity port;
    port.name = name;
    port.devicePath = "\\\\.\\" + name;
    return port;
}

} // namespace kronax
