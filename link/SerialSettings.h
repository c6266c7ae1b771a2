#pragma once

#include "link/SerialTypes.h"

#include <cstdint>

namespace kronax {

class TCustomSerialPort;

// The settings groups of a serial port. Each belongs to one port for its whole life. Assigning
// a property a value different from its current one applies the group to the open port at once
// (and may then raise what that apply raises); assigning the current value does nothing.
// Assign copies every value of another object of the same kind and then applies the group.
// On the thread that owns the port only.

class TSerialParity {
public:
    explicit TSerialParity(TCustomSerialPort& port) : port_(port) {}
    TSerialParity(const TSerialParity&) = delete;
    TSerialParity& operator=(const TSerialParity&) = delete;

    TParityBits Bits() const { return bits_; }
    void SetBits(TParityBits value);
    bool Check() const { return check_; }
    void SetCheck(bool value);
    bool Replace() const { return replace_; }
    void SetReplace(bool value);
    char ReplaceChar() const { return replaceChar_; }
    void SetReplaceChar(char value);
    void Assign(const TSerialParity& source);

private:
    TCustomSerialPort& port_;
    TParityBits bits_ = TParityBits::prNone;
    bool check_ = false;
    bool replace_ = false;
    char replaceChar_ = 0;
};

class TSerialFlowControl {
public:
    explicit TSerialFlowControl(TCustomSerialPort& port) : port_(port) {}
    TSerialFlowControl(const TSerialFlowControl&) = delete;
    TSerialFlowControl& operator=(const TSerialFlowControl&) = delete;

    bool OutCTSFlow() const { return outCtsFlow_; }
    void SetOutCTSFlow(bool value);
    bool OutDSRFlow() const { return outDsrFlow_; }
    void SetOutDSRFlow(bool value);
    TDTRFlowControl ControlDTR() const { return controlDtr_; }
    void SetControlDTR(TDTRFlowControl value);
    TRTSFlowControl ControlRTS() const { return controlRts_; }
    void SetControlRTS(TRTSFlowControl value);
    bool XonXoffOut() const { return xonXoffOut_; }
    void SetXonXoffOut(bool value);
    bool XonXoffIn() const { return xonXoffIn_; }
    void SetXonXoffIn(bool value);
    bool DSRSensitivity() const { return dsrSensitivity_; }
    void SetDSRSensitivity(bool value);
    bool TxContinueOnXoff() const { return txContinueOnXoff_; }
    void SetTxContinueOnXoff(bool value);
    char XonChar() const { return xonChar_; }
    void SetXonChar(char value);
    char XoffChar() const { return xoffChar_; }
    void SetXoffChar(char value);
    void Assign(const TSerialFlowControl& source);

private:
    TCustomSerialPort& port_;
    bool outCtsFlow_ = false;
    bool outDsrFlow_ = false;
    TDTRFlowControl controlDtr_ = TDTRFlowControl::dtrDisable;
    TRTSFlowControl controlRts_ = TRTSFlowControl::rtsDisable;
    bool xonXoffOut_ = false;
    bool xonXoffIn_ = false;
    bool dsrSensitivity_ = false;
    bool txContinueOnXoff_ = false;
    char xonChar_ = 17;
    char xoffChar_ = 19;
};

// Time-outs in milliseconds; -1 stands for the largest value the platform knows.
class TSerialTimeouts {
public:
    explicit TSerialTimeouts(TCustomSerialPort& port) : port_(port) {}
    TSerialTimeouts(const TSerialTimeouts&) = delete;
    TSerialTimeouts& operator=(const TSerialTimeouts&) = delete;

    int ReadInterval() const { return readInterval_; }
    void SetReadInterval(int value);
    int ReadTotalMultiplier() const { return readTotalMultiplier_; }
    void SetReadTotalMultiplier(int value);
    int ReadTotalConstant() const { return readTotalConstant_; }
    void SetReadTotalConstant(int value);
    int WriteTotalMultiplier() const { return writeTotalMultiplier_; }
    void SetWriteTotalMultiplier(int value);
    int WriteTotalConstant() const { return writeTotalConstant_; }
    void SetWriteTotalConstant(int value);
    void Assign(const TSerialTimeouts& source);

private:
    TCustomSerialPort& port_;
    int readInterval_ = -1;
    int readTotalMultiplier_ = 0;
    int readTotalConstant_ = 0;
    int writeTotalMultiplier_ = 100;
    int writeTotalConstant_ = 1000;
};

// Driver queue sizes in bytes; an odd size is stored as the even number below it.
class TSerialBuffer {
public:
    explicit TSerialBuffer(TCustomSerialPort& port) : port_(port) {}
    TSerialBuffer(const TSerialBuffer&) = delete;
    TSerialBuffer& operator=(const TSerialBuffer&) = delete;

    int InputSize() const { return inputSize_; }
    void SetInputSize(int value);
    int OutputSize() const { return outputSize_; }
    void SetOutputSize(int value);
    void Assign(const TSerialBuffer& source);

private:
    TCustomSerialPort& port_;
    int inputSize_ = 1024;
    int outputSize_ = 1024;
};

} // namespace kronax
