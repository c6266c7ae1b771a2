#pragma once

#include "link/CommandPort.h"
#include "link/SerialError.h"
#include "link/SerialPlatform.h"
#include "link/SerialSettings.h"
#include "link/SerialTypes.h"
#include "link/UiDispatcher.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kronax {

class TSerialWatcher;

// A serial port at fixed line settings: non-blocking reads, writes that return once complete,
// and a watcher thread for line events while open. The port is a plain object owned by whoever
// creates it; destroying it closes it. Every operation belongs to the thread that owns the port
// (the window's UI thread, or one kronax worker thread per port) and raises ESerialPort on failure,
// leaving the port as it was unless stated.
class TCustomSerialPort : public ICommandPort {
public:
    // A closed port with every default, reaching the device through platform, which must
    // outlive the port.
    explicit TCustomSerialPort(ISerialPlatform& platform = SystemSerialPlatform());
    TCustomSerialPort(const TCustomSerialPort&) = delete;
    TCustomSerialPort& operator=(const TCustomSerialPort&) = delete;
    // Closes the port when it is open; a failing close still stops the watcher and frees the
    // device.
    ~TCustomSerialPort() override;

    // Opens the device named by Port, applies every setting, starts the watcher when Events is
    // not empty and reads the modem lines. Does nothing when already open. Raises
    // CError_OpenFailed when the device cannot be opened (the port stays closed),
    // CError_SetupComFailed, CError_SetStateFailed or CError_TimeoutsFailed when a setting fails
    // (the device is closed again), CError_ModemStatFailed when the modem lines cannot be read
    // (the port stays open).
    void OpenPort();

    // Aborts transfers, ends the watcher (running queued deliveries meanwhile, and discarding
    // both driver queues) and closes the device. Does nothing when closed. Raises
    // CError_PurgeFailed when aborting fails; the port then stays open and unchanged.
    void ClosePort();

    bool Connected() const override { return connected_; }
    // True opens (as OpenPort), false closes (as ClosePort).
    void SetConnected(bool value);

    // Discards the driver's receive queue (input) and transmit queue (output). Raises
    // CError_PurgeFailed.
    void PurgeBuffers(bool input, bool output) override;

    // Sends text unchanged; returns the number of bytes the driver took before the write
    // completed or its time-out ran out; an empty text returns 0 at once. Raises
    // CError_WriteFailed.
    int WriteText(const std::string& text) override;

    // Hands over at most count bytes already received, without waiting; text receives exactly
    // them. A count of 0 or less gives 0 and an empty text. Raises CError_ReadFailed, or
    // CError_ClearComFailed when the queue count cannot be read afterwards.
    int ReadText(std::string& text, int count) override;

    // Blocks until a received byte waits to be read or milliseconds have passed; may return
    // earlier with nothing to read. Raises CError_ReadFailed, also when the line has hung up.
    void WaitForInput(std::uint32_t milliseconds) override;

    PortOpening Opening() const override { return {connected_ ? port_ : std::string(), openings_}; }

    // Acts on one set of signalled line events by calling the assigned hooks. Raises
    // CError_ClearComFailed or CError_ModemStatFailed. Called by the watcher through the port's
    // dispatcher.
    void DispatchLineEvents(TSerialEvents events);

    // Apply one group of settings to the open device; do nothing while closed. Raise
    // CError_SetStateFailed, CError_TimeoutsFailed, CError_SetupComFailed.
    virtual void ApplyLineSettings();
    virtual void ApplyTimeoutSettings();
    virtual void ApplyQueueSizes();

    const std::string& Port() const { return port_; }
    // Stores a different name (compared exactly) and, when open, reopens under it.
    void SetPort(const std::string& name);
    TBaudRate BaudRate() const { return baudRate_; }
    void SetBaudRate(TBaudRate value);
    int CustomBaudRate() const { return customBaudRate_; }
    void SetCustomBaudRate(int value);
    TStopBits StopBits() const { return stopBits_; }
    void SetStopBits(TStopBits value);
    TDataBits DataBits() const { return dataBits_; }
    void SetDataBits(TDataBits value);
    bool DiscardNull() const { return discardNull_; }
    void SetDiscardNull(bool value);
    char EventChar() const { return eventChar_; }
    void SetEventChar(char value);
    // Takes effect at the next opening.
    TSerialEvents Events() const { return events_; }
    void SetEvents(TSerialEvents value) { events_ = value; }
    TSyncMethod SyncMethod() const { return syncMethod_; }
    // Raises CError_ConnChangeProp (keeping the old value) when a different value is assigned while
    // open.
    void SetSyncMethod(TSyncMethod value);

    TSerialParity& Parity() { return parity_; }
    const TSerialParity& Parity() const { return parity_; }
    void SetParity(const TSerialParity& value) { parity_.Assign(value); }
    TSerialFlowControl& FlowControl() { return flowControl_; }
    const TSerialFlowControl& FlowControl() const { return flowControl_; }
    void SetFlowControl(const TSerialFlowControl& value) { flowControl_.Assign(value); }
    TSerialTimeouts& Timeouts() { return timeouts_; }
    const TSerialTimeouts& Timeouts() const { return timeouts_; }
    void SetTimeouts(const TSerialTimeouts& value) { timeouts_.Assign(value); }
    TSerialBuffer& Buffer() { return buffer_; }
    const TSerialBuffer& Buffer() const { return buffer_; }
    void SetBuffer(const TSerialBuffer& value) { buffer_.Assign(value); }

    // The device while open, InvalidDeviceHandle while closed.
    DeviceHandle Device() const { return device_; }
    ISerialPlatform& Platform() const { return platform_; }
    // Where the watcher runs its deliveries; UiDispatcher::Shared() unless set. Set while closed.
    UiDispatcher& Dispatcher() const { return *dispatcher_; }
    void SetDispatcher(UiDispatcher& dispatcher) { dispatcher_ = &dispatcher; }
    // Whether a watcher was started at the last opening.
    bool WatcherStarted() const { return watcher_ != nullptr; }

    // Event hooks; an unassigned hook is skipped. They run on the thread that owns the port, or on
    // the watcher thread with smNone. A hook run by a watcher delivery must not close the port:
    // closing waits for the watcher, which waits for that delivery to end.
    std::function<void()> OnAfterOpen, OnAfterClose, OnBeforeOpen, OnBeforeClose;
    std::function<void(int count)> OnRxChar;
    std::function<void(const std::string& data)> OnRxBuf;
    std::function<void()> OnTxEmpty, OnBreak, OnRing, OnRxFlag, OnRx80Full;
    std::function<void(bool on)> OnCTSChange, OnDSRChange, OnRLSDChange;
    std::function<void(TSerialErrors errors)> OnError;

protected:
    virtual void OpenDeviceHandle();
    virtual void CloseDeviceHandle();
    virtual void ConfigurePort();

    virtual void DoAfterClose();
    virtual void DoAfterOpen();
    virtual void DoBeforeClose();
    virtual void DoBeforeOpen();
    virtual void DoRxChar(int count);
    virtual void DoRxBuf(const std::string& data);
    virtual void DoTxEmpty();
    virtual void DoBreak();
    virtual void DoRing();
    virtual void DoRxFlag();
    virtual void DoCTSChange(bool on);
    virtual void DoDSRChange(bool on);
    virtual void DoError(TSerialErrors errors);
    virtual void DoRLSDChange(bool on);
    virtual void DoRx80Full();

private:
    SerialDcb BuildDcb() const;
    SerialTimeouts BuildTimeouts() const;
    void ReadModemLines();
    bool ModemLine(std::uint32_t bit);
    std::uint32_t QueuedInputCount(std::uint32_t& errors);
    void StopWatcher();
    EventHandle ReadEvent();
    void ReleaseReadEvent();

    ISerialPlatform& platform_;
    UiDispatcher* dispatcher_;
    bool connected_ = false;
    std::uint64_t openings_ = 0;
    DeviceHandle device_ = InvalidDeviceHandle;
    std::unique_ptr<TSerialWatcher> watcher_;
    // Reads and waits for input share one event object and one buffer, made at the first read
    // after opening, so that a poll of an empty queue allocates and clears nothing.
    std::optional<EventHandle> readEvent_;
    std::vector<char> readBuffer_;
    std::string port_ = "COM1";
    TBaudRate baudRate_ = TBaudRate::br9600;
    int customBaudRate_ = 9600;
    TStopBits stopBits_ = TStopBits::sbOneStopBit;
    TDataBits dataBits_ = TDataBits::dbEight;
    bool discardNull_ = false;
    char eventChar_ = 0;
    TSerialEvents events_ = AllSerialEvents();
    TSyncMethod syncMethod_ = TSyncMethod::smThreadSync;
    TSerialParity parity_{*this};
    TSerialFlowControl flowControl_{*this};
    TSerialTimeouts timeouts_{*this};
    TSerialBuffer buffer_{*this};
};

// The port as the program uses it.
class TSerialPort : public TCustomSerialPort {
public:
    using TCustomSerialPort::TCustomSerialPort;
};

// Replaces the contents of list with the names of the serial ports present, COM<n> names sorted
// by number ("COM2" before "COM10"), any other names after them ignoring case. Raises
// CError_RegError when the device map cannot be read; list is then unchanged. Any thread.
void ListSerialPorts(std::vector<std::string>& list,
                     ISerialPlatform& platform = SystemSerialPlatform());

} // namespace kronax
