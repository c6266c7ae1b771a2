#include "link/SerialError.h"

#include <array>
#include <string>

namespace kronax {
namespace {

constexpr std::array<const char*, 23> ErrorTexts{
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set property while connected",
    "EnumPorts function failed",
    "Failed to store settings",
    "Failed to load settings",
    "Link (un)registration failed",
    "Cannot change led state if a port is selected",
    "Cannot wait for event if event thread is created",
    "WaitForEvent method failed",
    "A component is linked to OnRxBuf event",
    "Registry error",
};

std::string MessageOf(int portErrorCode, int winErrorCode) {
    if (portErrorCode < 1 || portErrorCode > static_cast<int>(ErrorTexts.size()))
        return {};
    std::string text = ErrorTexts[static_cast<std::size_t>(portErrorCode - 1)];
    if (winErrorCode != -1)
        text += " (win error code: " + std::to_string(winErrorCode) + ")";
    return text;
}

} // namespace

ESerialPort::ESerialPort(int portErrorCode, int winErrorCode)
    : std::runtime_error(MessageOf(portErrorCode, winErrorCode)), portErrorCode_(portErrorCode),
      winErrorCode_(winErrorCode) {}

} // namespace kronax
