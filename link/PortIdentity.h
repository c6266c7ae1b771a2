#pragma once

#include <string>
#include <vector>

namespace kronax {

// A listed port with what the system knows of the device behind it.
struct PortIdentity {
    std::string name;       // "COM3"
    std::string devicePath; // "/dev/ttyUSB0" (Linux) or "\\.\COM3" (Windows)
    // Empty when unknown.
    std::string vendorId, productId, manufacturer, product, serialNumber;
};

// The ports ListSerialPorts lists, in its order, each with what the system knows of its device
// (USB adapters on Linux: from sysfs). Raises what ListSerialPorts raises.
std::vector<PortIdentity> ListPortIdentities();

// One line for people, e.g. "COM3 · /dev/ttyUSB0 · FT232R USB UART" (unknown parts left out).
std::string DescribePort(const PortIdentity& port);

// What the system knows of the device behind the port named name; one implementation per
// platform.
PortIdentity SystemPortIdentity(const std::string& name);

} // namespace kronax
