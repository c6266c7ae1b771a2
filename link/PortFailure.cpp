#include "link/PortFailure.h"

namespace kronax {

std::string PortFailureReason(const PortFailure& failure) {
    switch (failure.kind) {
    case PortFailureKind::Vanished:
        return "disconnected";
    case PortFailureKind::Busy:
        return "busy (another program holds it)";
    case PortFailureKind::PermissionDenied:
        return "permission denied (the user must be in the group that owns the device, e.g. "
               "dialout)";
    case PortFailureKind::NotPresent:
        return "not present";
    case PortFailureKind::NotTelnetServer:
        return "not a Telnet/RFC 2217 server";
    case PortFailureKind::ComPortRefused:
        return "refused the COM-PORT option";
    default:
        return failure.errorText;
    }
}

std::string PortFailureReason(const ESerialPort& error) {
    return PortFailureReason(ClassifyPortFailure(error, PortStage::Opening));
}

PortFailure ClassifyPortFailure(const ESerialPort& error, PortStage stage) {
    PortFailure failure{PortFailureKind::Other, stage, error.what()};
    if (error.WinErrorCode() != -1)
        failure.kind = ClassifyPlatformError(error.WinErrorCode());
    if (stage == PortStage::Exchange && failure.kind == PortFailureKind::NotPresent)
        failure.kind = PortFailureKind::Vanished;
    return failure;
}

PortFailure VanishedPort() {
    return {PortFailureKind::Vanished, PortStage::Exchange, {}};
}

std::string DescribePortFailure(const PortFailure& failure) {
    if (failure.kind == PortFailureKind::Vanished && failure.stage == PortStage::Exchange)
        return "was disconnected";
    const char* const lead = failure.stage == PortStage::Opening ? "could not be opened: "
                                                                 : "failed during the exchange: ";
    return lead + PortFailureReason(failure);
}

} // namespace kronax
