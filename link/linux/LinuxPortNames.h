#pragma once

#include <optional>
#include <string>
#include <vector>

// Where the ports of a POSIX system come from and how their "COM<n>" names map to devices.
//
// When the environment variable KRONAX_PORTS names a folder, the present ports are exactly its
// entries named COM<n> that are symbolic links to an existing character device; port COM<n>
// opens $KRONAX_PORTS/COM<n>. Otherwise the present ports are the kernel's serial devices with
// hardware behind them and a device node in /dev, under fixed numbers:
//   ttyS<k>   (with a UART) -> COM<k+1>    for k 0..99
//   ttyUSB<k>               -> COM<k+101>  for k 0..99
//   ttyACM<k>               -> COM<k+201>  for k 0..99
// plus the COM<n> symbolic links to an existing character device of the per-user folder
// $XDG_CONFIG_HOME/kronax/ports (or ~/.config/kronax/ports), which take precedence over a kernel
// device of the same number. A dangling link (an unplugged adapter, a closed pseudo-terminal) is
// no port.
namespace kronax::posix {

// The path a port name opens, or nothing for a name that is not COM<n> or names no device.
std::optional<std::string> DevicePathOf(const std::string& portName);

// Fills names with the ports present, unsorted. Returns 0, or the errno of the folder that
// could not be read.
int PresentPortNames(std::vector<std::string>& names);

} // namespace kronax::posix
