#include "link/PortFailure.h"

#include <windows.h>

namespace kronax {

// Windows refuses a port another program holds with "access denied". An unplugged adapter fails
// its transfers with one of several codes, and a virtual port whose other end closed (Wine's
// pseudo-terminals among them) with "broken pipe".
PortFailureKind ClassifyPlatformError(int platformErrorCode) {
    switch (platformErrorCode) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return PortFailureKind::Busy;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return PortFailureKind::NotPresent;
    case ERROR_BAD_COMMAND:
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_BROKEN_PIPE:
        return PortFailureKind::Vanished;
    default:
        return PortFailureKind::Other;
    }
}

} // namespace kronax
