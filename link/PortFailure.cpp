#include "link/PortFailure.h"

namespace kronax {

std::string PortFailureReason(const ESerialPort& error) {
    if (error.WinErrorCode() == -1)
        return error.what();
    switch (ClassifyPlatformError(error.WinErrorCode())) {
    case PortFailureKind::Busy:
        return "busy (another program holds it)";
    case PortFailureKind::PermissionDenied:
        return "permission denied (the user must be in the group that owns the device, e.g. "
               "dialout)";
    case PortFailureKind::NotPresent:
        return "not present";
    case PortFailureKind::Disconnected:
        return "disconnected";
    case PortFailureKind::Other:
        break;
    }
    return error.what();
}

} // namespace kronax
