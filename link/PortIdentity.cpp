#include "link/PortIdentity.h"

#include "link/SerialPort.h"

namespace kronax {

std::vector<PortIdentity> ListPortIdentities() {
    std::vector<std::string> names;
    ListSerialPorts(names);
    std::vector<PortIdentity> ports;
    ports.reserve(names.size());
    for (const std::string& name : names)
        ports.push_back(SystemPortIdentity(name));
    return ports;
}

std::string DescribePort(const PortIdentity& port) {
    std::string line = port.name;
    auto append = [&line](const std::string& part) {
        if (!part.empty())
            line += " \u00b7 " + part;
    };
    append(port.devicePath);
    if (!port.product.empty())
        append(port.product);
    else if (!port.vendorId.empty())
        append(port.vendorId + ":" + port.productId);
    return line;
}

} // namespace kronax
