#include "cli/PortErrors.h"

namespace kronax::cli {

std::string PortErrorCode(const PortFailure& failure) {
    switch (failure.kind) {
    case PortFailureKind::Busy:
        return "port_busy";
    case PortFailureKind::PermissionDenied:
        return "port_permission_denied";
    case PortFailureKind::NotPresent:
        return "port_not_present";
    case PortFailureKind::Vanished:
        return "port_vanished";
    case PortFailureKind::NotTelnetServer:
    case PortFailureKind::ComPortRefused:
    case PortFailureKind::Other:
        break;
    }
    return "port_error";
}

} // namespace kronax::cli
