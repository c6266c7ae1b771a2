#include "link/SerialSettings.h"

#include "link/SerialPort.h"

namespace kronax {
namespace {

// Stores value and reports whether it differed from what was there.
template <typename T> bool Change(T& field, T value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

int EvenSize(int value) {
    return value % 2 != 0 ? value - 1 : value;
}

} // namespace

void TSerialParity::SetBits(TParityBits value) {
    if (Change(bits_, value))
        port_.ApplyLineSettings();
}

void TSerialParity::SetCheck(bool value) {
    if (Change(check_, value))
        port_.ApplyLineSettings();
}

void TSerialParity::SetReplace(bool value) {
    if (Change(replace_, value))
        port_.ApplyLineSettings();
}

void TSerialParity::SetReplaceChar(char value) {
    if (Change(replaceChar_, value))
        port_.ApplyLineSettings();
}

void TSerialParity::Assign(const TSerialParity& source) {
    bits_ = source.bits_;
    check_ = source.check_;
    replace_ = source.replace_;
    replaceChar_ = source.replaceChar_;
    port_.ApplyLineSettings();
}

void TSerialFlowControl::SetOutCTSFlow(bool value) {
    if (Change(outCtsFlow_, value))
        port_.ApplyLineSettings();
}

void TSerialFlowControl::SetOutDSRFlow(bool value) {
    if (Change(outDsrFlow_, value))
        port_.ApplyLineSettings();
}

void TSerialFlowControl::SetControlDTR(TDTRFlowControl value) {
    if (Change(controlDtr_, value))
        port_.ApplyLineSettings();
}

void TSerialFlowControl::SetControlRTS(TRTSFlowControl value) {
    if (Change(controlRts_, value))
        port_.ApplyLineSettings();
}

void TSerialFlowControl::SetXonXoffOut(bool value) {
    if (Change(xonXoffOut_, value))
        port_.ApplyLineSettings();
}

void TSerialFlowControl::SetXonXoffIn(bool value) {
    if (Change(xonXoffIn_, value))
        port_.ApplyLineSettings();
}

void TSerialFlowControl::SetDSRSensitivity(bool value) {
    if (Change(dsrSensitivity_, value))
        port_.ApplyLineSettings();
}

void TSerialFlowControl::SetTxContinueOnXoff(bool value) {
    if (Change(txContinueOnXoff_, value))
        port_.ApplyLineSettings();
}

void TSerialFlowControl::SetXonChar(char value) {
    if (Change(xonChar_, value))
        port_.ApplyLineSettings();
}

void TSerialFlowControl::SetXoffChar(char value) {
    if (Change(xoffChar_, value))
        port_.ApplyLineSettings();
}

void TSerialFlowControl::Assign(const TSerialFlowControl& source) {
    outCtsFlow_ = source.outCtsFlow_;
    outDsrFlow_ = source.outDsrFlow_;
    controlDtr_ = source.controlDtr_;
    controlRts_ = source.controlRts_;
    xonXoffOut_ = source.xonXoffOut_;
    xonXoffIn_ = source.xonXoffIn_;
    dsrSensitivity_ = source.dsrSensitivity_;
    txContinueOnXoff_ = source.txContinueOnXoff_;
    xonChar_ = source.xonChar_;
    xoffChar_ = source.xoffChar_;
    port_.ApplyLineSettings();
}

void TSerialTimeouts::SetReadInterval(int value) {
    if (Change(readInterval_, value))
        port_.ApplyTimeoutSettings();
}

void TSerialTimeouts::SetReadTotalMultiplier(int value) {
    if (Change(readTotalMultiplier_, value))
        port_.ApplyTimeoutSettings();
}

void TSerialTimeouts::SetReadTotalConstant(int value) {
    if (Change(readTotalConstant_, value))
        port_.ApplyTimeoutSettings();
}

void TSerialTimeouts::SetWriteTotalMultiplier(int value) {
    if (Change(writeTotalMultiplier_, value))
        port_.ApplyTimeoutSettings();
}

void TSerialTimeouts::SetWriteTotalConstant(int value) {
    if (Change(writeTotalConstant_, value))
        port_.ApplyTimeoutSettings();
}

void TSerialTimeouts::Assign(const TSerialTimeouts& source) {
    readInterval_ = source.readInterval_;
    readTotalMultiplier_ = source.readTotalMultiplier_;
    readTotalConstant_ = source.readTotalConstant_;
    writeTotalMultiplier_ = source.writeTotalMultiplier_;
    writeTotalConstant_ = source.writeTotalConstant_;
    port_.ApplyTimeoutSettings();
}

void TSerialBuffer::SetInputSize(int value) {
    if (Change(inputSize_, EvenSize(value)))
        port_.ApplyQueueSizes();
}

void TSerialBuffer::SetOutputSize(int value) {
    if (Change(outputSize_, EvenSize(value)))
        port_.ApplyQueueSizes();
}

void TSerialBuffer::Assign(const TSerialBuffer& source) {
    inputSize_ = source.inputSize_;
    outputSize_ = source.outputSize_;
    port_.ApplyQueueSizes();
}

} // namespace kronax
