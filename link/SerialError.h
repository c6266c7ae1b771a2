#pragma once

#include <stdexcept>

namespace kronax {

// A failure of the serial port. PortErrorCode is 1 to 23; WinErrorCode is the platform error
// code of the failed call, or -1 when the failure has none. The message is the code's fixed
// text, followed by " (win error code: <WinErrorCode>)" when there is a platform code.
class ESerialPort : public std::runtime_error {
public:
    // Raises nothing; portErrorCode outside CError_OpenFailed to CError_RegError gives an empty
    // text.
    explicit ESerialPort(int portErrorCode, int winErrorCode = -1);

    int PortErrorCode() const { return portErrorCode_; }
    int WinErrorCode() const { return winErrorCode_; }

    // Whether the failure came after a command went out whole, so that the board may hold it
    // although no answer came. Set by the command exchange.
    bool AfterCommandSent() const { return afterCommandSent_; }
    void SetAfterCommandSent() { afterCommandSent_ = true; }

private:
    int portErrorCode_;
    int winErrorCode_;
    bool afterCommandSent_ = false;
};

// Error codes the port raises.
inline constexpr int CError_OpenFailed = 1;
inline constexpr int CError_WriteFailed = 2;
inline constexpr int CError_ReadFailed = 3;
inline constexpr int CError_InvalidAsync = 4;
inline constexpr int CError_PurgeFailed = 5;
inline constexpr int CError_SetStateFailed = 7;
inline constexpr int CError_TimeoutsFailed = 8;
inline constexpr int CError_SetupComFailed = 9;
inline constexpr int CError_ClearComFailed = 10;
inline constexpr int CError_ModemStatFailed = 11;
inline constexpr int CError_ConnChangeProp = 14;
inline constexpr int CError_RegError = 23;

} // namespace kronax
