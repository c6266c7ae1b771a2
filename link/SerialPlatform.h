#pragma once

#include <cstdint>
#include <string>

namespace kronax {

// Handles of the platform: a device, an event object, an open device map.
using DeviceHandle = std::intptr_t;
using EventHandle = std::intptr_t;
using DeviceMapHandle = std::intptr_t;
inline constexpr DeviceHandle InvalidDeviceHandle = -1;

// Platform error codes the port logic itself interprets.
inline constexpr int ErrorNoMoreItems = 259;

// Purge flags.
inline constexpr std::uint32_t PurgeTxAbort = 0x1;
inline constexpr std::uint32_t PurgeRxAbort = 0x2;
inline constexpr std::uint32_t PurgeTxClear = 0x4;
inline constexpr std::uint32_t PurgeRxClear = 0x8;

// Line event mask bits.
inline constexpr std::uint32_t EvRxChar = 0x0001;
inline constexpr std::uint32_t EvRxFlag = 0x0002;
inline constexpr std::uint32_t EvTxEmpty = 0x0004;
inline constexpr std::uint32_t EvCts = 0x0008;
inline constexpr std::uint32_t EvDsr = 0x0010;
inline constexpr std::uint32_t EvRlsd = 0x0020;
inline constexpr std::uint32_t EvBreak = 0x0040;
inline constexpr std::uint32_t EvErr = 0x0080;
inline constexpr std::uint32_t EvRing = 0x0100;
inline constexpr std::uint32_t EvRx80Full = 0x0400;

// Line error flags.
inline constexpr std::uint32_t CeRxOver = 0x0001;
inline constexpr std::uint32_t CeOverrun = 0x0002;
inline constexpr std::uint32_t CeRxParity = 0x0004;
inline constexpr std::uint32_t CeFrame = 0x0008;
inline constexpr std::uint32_t CeBreak = 0x0010;
inline constexpr std::uint32_t CeTxFull = 0x0100;
inline constexpr std::uint32_t CeIoe = 0x0400;
inline constexpr std::uint32_t CeMode = 0x8000;

// Modem status bits.
inline constexpr std::uint32_t MsCtsOn = 0x0010;
inline constexpr std::uint32_t MsDsrOn = 0x0020;
inline constexpr std::uint32_t MsRingOn = 0x0040;
inline constexpr std::uint32_t MsRlsdOn = 0x0080;

// The one-bit fields of SerialDcb::Flags, as the Windows device control block orders them.
inline constexpr std::uint32_t DcbBinary = 0x0001;
inline constexpr std::uint32_t DcbParityCheck = 0x0002;
inline constexpr std::uint32_t DcbOutxCtsFlow = 0x0004;
inline constexpr std::uint32_t DcbOutxDsrFlow = 0x0008;
inline constexpr std::uint32_t DcbDsrSensitivity = 0x0040;
inline constexpr std::uint32_t DcbTxContinueOnXoff = 0x0080;
inline constexpr std::uint32_t DcbOutX = 0x0100;
inline constexpr std::uint32_t DcbInX = 0x0200;
inline constexpr std::uint32_t DcbErrorChar = 0x0400;
inline constexpr std::uint32_t DcbNull = 0x0800;
inline constexpr std::uint32_t DcbAbortOnError = 0x4000;

// The two-bit fields of SerialDcb::Flags, by their lowest bit: DTR control and RTS control.
inline constexpr unsigned DcbDtrControlShift = 4;
inline constexpr unsigned DcbRtsControlShift = 12;

constexpr bool DcbFlag(std::uint32_t flags, std::uint32_t bit) {
    return (flags & bit) != 0;
}

constexpr std::uint32_t DcbField(std::uint32_t flags, unsigned shift) {
    return (flags >> shift) & 3u;
}

constexpr std::uint32_t DcbFieldBits(std::uint32_t value, unsigned shift) {
    return (value & 3u) << shift;
}

// The RTS control value that hands RTS to the driver for hardware handshaking.
inline constexpr std::uint32_t DcbRtsHandshake = 2;

// The flags ask for hardware flow control: output watched by CTS, or RTS handshaking.
constexpr bool DcbHardwareFlow(std::uint32_t flags) {
    return DcbFlag(flags, DcbOutxCtsFlow) || DcbField(flags, DcbRtsControlShift) == DcbRtsHandshake;
}

// Line settings in the layout of the Windows device control block; Flags holds its bit fields,
// named above.
struct SerialDcb {
    std::uint32_t DCBlength = 28;
    std::uint32_t BaudRate = 0;
    std::uint32_t Flags = 0;
    std::uint16_t wReserved = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;
    std::uint8_t StopBits = 0;
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    std::uint16_t wReserved1 = 0;
    bool operator==(const SerialDcb&) const = default;
};

// Transfer time-outs in milliseconds, in the layout of the Windows COMMTIMEOUTS, with the
// meaning Windows gives them.
struct SerialTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;
    bool operator==(const SerialTimeouts&) const = default;

    // The time a read or a write of count bytes may take: the multiplier for each byte plus
    // the constant; 0 sets no limit.
    std::uint64_t ReadLimit(std::uint32_t count) const {
        return std::uint64_t{ReadTotalTimeoutMultiplier} * count + ReadTotalTimeoutConstant;
    }
    std::uint64_t WriteLimit(std::uint32_t count) const {
        return std::uint64_t{WriteTotalTimeoutMultiplier} * count + WriteTotalTimeoutConstant;
    }
    // A read returns at once with what has arrived: the largest interval and no total limit.
    bool ReadReturnsAtOnce() const {
        return ReadIntervalTimeout == 0xFFFFFFFF && ReadTotalTimeoutMultiplier == 0 &&
               ReadTotalTimeoutConstant == 0;
    }
};

// How one wait for line events ended.
enum class LineWait {
    Signalled,    // an event of the mask occurred; the mask holds it
    NotSignalled, // the wait completed without a usable result; wait again
    Stopped       // the stop signal was set, or waiting itself failed
};

// The operating-system calls the serial port is built on, one operation per call. Every
// operation returns 0 on success or the platform's error code of the failed call. Calls on
// one device may come from the thread that owns the port and from its watcher thread.
class ISerialPlatform {
public:
    virtual ~ISerialPlatform() = default;

    // Opens the port named portName (COM<n>; on Linux also a network port's URL) for exclusive
    // use, so that the owning thread's transfers and the watcher's line-event waits can run at
    // the same time.
    virtual int OpenDevice(const std::string& portName, DeviceHandle& device) = 0;
    virtual int CloseDevice(DeviceHandle device) = 0;

    virtual int SetupQueues(DeviceHandle device, std::uint32_t inputSize,
                            std::uint32_t outputSize) = 0;
    virtual int SetLineSettings(DeviceHandle device, const SerialDcb& dcb) = 0;
    virtual int SetTimeouts(DeviceHandle device, const SerialTimeouts& timeouts) = 0;
    virtual int Purge(DeviceHandle device, std::uint32_t flags) = 0;

    // Transfers bytes and waits for the transfer to complete; done receives the byte count.
    // requestEvent is the transfer's own event object.
    virtual int Write(DeviceHandle device, const char* data, std::uint32_t count,
                      EventHandle requestEvent, std::uint32_t& done) = 0;
    virtual int Read(DeviceHandle device, char* data, std::uint32_t count, EventHandle requestEvent,
                     std::uint32_t& done) = 0;

    // Blocks until at least one received byte waits to be read or milliseconds have passed,
    // whichever comes first; it may also return earlier with nothing to read. Received bytes stay
    // for the next Read. requestEvent is the reads' event object. A hung-up line is an error.
    virtual int WaitForInput(DeviceHandle device, EventHandle requestEvent,
                             std::uint32_t milliseconds) = 0;

    // Reads and clears the line-error flags and reports the receive-queue count.
    virtual int ClearErrors(DeviceHandle device, std::uint32_t& errors,
                            std::uint32_t& inputQueued) = 0;
    virtual int GetModemStatus(DeviceHandle device, std::uint32_t& status) = 0;

    // Selects the line events waited for; mask 0 ends a wait in progress.
    virtual int SetEventMask(DeviceHandle device, std::uint32_t mask) = 0;

    // Waits, without a time limit, until a selected line event occurs or stopSignal is set.
    // waitEvent is the wait's own event object.
    virtual LineWait WaitLineEvent(DeviceHandle device, EventHandle waitEvent,
                                   EventHandle stopSignal, std::uint32_t& mask) = 0;

    // Manual-reset event objects.
    virtual int NewEvent(bool initiallySet, EventHandle& event) = 0;
    virtual int SignalEvent(EventHandle event) = 0;
    virtual int CloseEvent(EventHandle event) = 0;

    // The list of present ports, read one name at a time; NextPortName returns
    // ErrorNoMoreItems after the last name.
    virtual int OpenDeviceMap(DeviceMapHandle& map) = 0;
    virtual int NextPortName(DeviceMapHandle map, std::uint32_t index, std::string& name) = 0;
    virtual int CloseDeviceMap(DeviceMapHandle map) = 0;
};

// The platform of the machine the program runs on; lives for the whole program.
ISerialPlatform& SystemSerialPlatform();

} // namespace kronax
