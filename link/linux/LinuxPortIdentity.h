#pragma once

#include "link/PortIdentity.h"

#include <string>

namespace kronax::posix {

// Fills the USB fields of port from the sysfs tree under sysRoot ("/sys" on a running system)
// for the tty device named ttyName ("ttyUSB0"): the nearest USB device above the tty's device
// folder. Leaves them empty when the tty has no USB device behind it or sysfs lacks it.
void ReadUsbIdentity(const std::string& ttyName, const std::string& sysRoot, PortIdentity& port);

// The identity of the port named name, with sysfs read under sysRoot.
PortIdentity IdentityOf(const std::string& name, const std::string& sysRoot);

} // namespace kronax::posix
