#pragma once

#include "link/SerialError.h"

#include <string>

namespace kronax {

// The reason an ESerialPort failure happened, in plain words, for an opening or an exchange:
// "busy (another program holds it)", "permission denied (the user must be in the group that
// owns the device, e.g. dialout)", "not present", "disconnected", otherwise the error's text.
std::string PortFailureReason(const ESerialPort& error);

// The kinds of platform failure that have plain words; one classification per platform.
enum class PortFailureKind { Busy, PermissionDenied, NotPresent, Disconnected, Other };
PortFailureKind ClassifyPlatformError(int platformErrorCode);

} // namespace kronax
