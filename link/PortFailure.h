#pragma once

#include "link/SerialError.h"

#include <string>

namespace kronax {

// Where a port failure met the program: opening the port, or an exchange on the open port.
enum class PortStage { Opening, Exchange };

// How a port failure came about. Classified here once; both front ends describe it with
// DescribePortFailure.
// A network serial server that does not speak Telnet, or refuses COM port control, is not the
// port it was named as.
enum class PortFailureKind {
    Vanished,
    Busy,
    PermissionDenied,
    NotPresent,
    NotTelnetServer,
    ComPortRefused,
    Other
};

struct PortFailure {
    PortFailureKind kind = PortFailureKind::Other;
    PortStage stage = PortStage::Exchange;
    // The error's own text, for Other.
    std::string errorText;
};

// The failure an ESerialPort stands for. A device that is not present any more, or whose line
// hung up, while the port was open has vanished. Pure; any thread.
PortFailure ClassifyPortFailure(const ESerialPort& error, PortStage stage);

// A device that went away while the port was open, as the port watcher notices it.
PortFailure VanishedPort();

// The failure in plain words, to follow the port's name: "was disconnected", "could not be
// opened: busy (another program holds it)", "could not be opened: permission denied (...)",
// "could not be opened: not present", or "could not be opened: " / "failed during the exchange: "
// and the error's text. Pure; any thread.
std::string DescribePortFailure(const PortFailure& failure);

// The cause alone: "busy (another program holds it)", "permission denied (...)", "not present",
// "disconnected", "not a Telnet/RFC 2217 server", "refused the COM-PORT option", or the error's
// text. Pure; any thread.
std::string PortFailureReason(const PortFailure& failure);

// The cause of a failure met while listing or opening ports.
std::string PortFailureReason(const ESerialPort& error);

// The kind each platform error code stands for; one classification per platform.
PortFailureKind ClassifyPlatformError(int platformErrorCode);

} // namespace kronax
