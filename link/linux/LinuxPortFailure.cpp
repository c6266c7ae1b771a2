#include "link/PortFailure.h"

#include <cerrno>

namespace kronax {

PortFailureKind ClassifyPlatformError(int platformErrorCode) {
    switch (platformErrorCode) {
    case EBUSY:
        return PortFailureKind::Busy;
    case EACCES:
    case EPERM:
        return PortFailureKind::PermissionDenied;
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ECONNREFUSED: // no serial server listens there
    case EHOSTUNREACH:
    case ENETUNREACH:
    case ETIMEDOUT:
        return PortFailureKind::NotPresent;
    case EIO:
        return PortFailureKind::Vanished;
    case EPROTONOSUPPORT:
        return PortFailureKind::NotTelnetServer;
    case ENOPROTOOPT:
        return PortFailureKind::ComPortRefused;
    default:
        return PortFailureKind::Other;
    }
}

} // namespace kronax
