#include "link/PortFailure.h"

#include <windows.h>

namespace kronax {

// Windows refuses a port another program holds with "access denied".
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
        return PortFailureKind::Vanished;
    default:
        return PortFailureKind::Other;
    }
}

} // namespace kronax
