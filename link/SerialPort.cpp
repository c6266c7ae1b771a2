#include "link/SerialPort.h"

#include "link/PortRequest.h"
#include "link/SerialWatcher.h"

#include <array>

namespace kronax {
namespace {

constexpr std::array<std::uint32_t, 16> BaudRates{0,     110,    300,    600,   1200,  2400,
                                                  4800,  9600,   14400,  19200, 38400, 56000,
                                                  57600, 115200, 128000, 256000};

template <typename T> bool Change(T& field, T value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

std::uint32_t Bit(bool on, std::uint32_t bit) {
    return on ? bit : 0;
}

} // namespace

TCustomSerialPort::TCustomSerialPort(ISerialPlatform& platform)
    : platform_(platform), dispatcher_(&UiDispatcher::Shared()) {}

TCustomSerialPort::~TCustomSerialPort() {
    try {
        ClosePort();
    } catch (const ESerialPort&) {
        // The device must not outlive the port even when aborting its transfers failed.
        StopWatcher();
        CloseDeviceHandle();
        connected_ = false;
    }
    ReleaseReadEvent();
}

void TCustomSerialPort::OpenPort() {
    if (connected_)
        return;
    DoBeforeOpen();
    OpenDeviceHandle();
    connected_ = true;
    try {
        ConfigurePort();
    } catch (...) {
        CloseDeviceHandle();
        connected_ = false;
        throw;
    }
    if (!events_.Empty())
        watcher_ = std::make_unique<TSerialWatcher>(*this);
    DoAfterOpen();
    ReadModemLines();
}

void TCustomSerialPort::ClosePort() {
    if (!connected_)
        return;
    DoCTSChange(false);
    DoDSRChange(false);
    DoRLSDChange(false);
    DoBeforeClose();
    if (int error = platform_.Purge(device_, PurgeTxAbort | PurgeRxAbort))
        throw ESerialPort(CError_PurgeFailed, error);
    StopWatcher();
    CloseDeviceHandle();
    connected_ = false;
    DoAfterClose();
}

void TCustomSerialPort::SetConnected(bool value) {
    if (value)
        OpenPort();
    else
        ClosePort();
}

void TCustomSerialPort::PurgeBuffers(bool input, bool output) {
    std::uint32_t flags = Bit(input, PurgeRxClear) | Bit(output, PurgeTxClear);
    if (int error = platform_.Purge(device_, flags))
        throw ESerialPort(CError_PurgeFailed, error);
}

int TCustomSerialPort::WriteText(const std::string& text) {
    if (text.empty())
        return 0;
    PortRequest request(platform_, PortRequest::Kind::Write);
    std::uint32_t written = 0;
    int error = platform_.Write(device_, text.data(), static_cast<std::uint32_t>(text.size()),
                                request.Event(), written);
    if (error)
        throw ESerialPort(request.FailureCode(), error);
    return static_cast<int>(written);
}

int TCustomSerialPort::ReadText(std::string& text, int count) {
    if (count <= 0) {
        text.clear();
        return 0;
    }
    const EventHandle event = ReadEvent();
    const auto size = static_cast<std::size_t>(count);
    if (readBuffer_.size() < size)
        readBuffer_.resize(size);
    std::uint32_t received = 0;
    int error = platform_.Read(device_, readBuffer_.data(), static_cast<std::uint32_t>(count),
                               event, received);
    if (error) {
        text.clear();
        throw ESerialPort(CError_ReadFailed, error);
    }
    text.assign(readBuffer_.data(), received);
    std::uint32_t lineErrors = 0;
    QueuedInputCount(lineErrors);
    return static_cast<int>(received);
}

void TCustomSerialPort::WaitForInput(std::uint32_t milliseconds) {
    if (int error = platform_.WaitForInput(device_, ReadEvent(), milliseconds))
        throw ESerialPort(CError_ReadFailed, error);
}

void TCustomSerialPort::DispatchLineEvents(TSerialEvents events) {
    using enum TSerialEvent;
    if (events.Contains(evError)) {
        std::uint32_t flags = 0;
        QueuedInputCount(flags);
        TSerialErrors errors = ErrorsOfFlags(flags, parity_.Check());
        if (!errors.Empty())
            DoError(errors);
    }
    if (events.Contains(evRxChar)) {
        std::uint32_t flags = 0;
        if (std::uint32_t queued = QueuedInputCount(flags))
            DoRxChar(static_cast<int>(queued));
    }
    if (events.Contains(evTxEmpty))
        DoTxEmpty();
    if (events.Contains(evBreak))
        DoBreak();
    if (events.Contains(evRing))
        DoRing();
    if (events.Contains(evCTS))
        DoCTSChange(ModemLine(MsCtsOn));
    if (events.Contains(evDSR))
        DoDSRChange(ModemLine(MsDsrOn));
    if (events.Contains(evRxFlag))
        DoRxFlag();
    if (events.Contains(evRLSD))
        DoRLSDChange(ModemLine(MsRlsdOn));
    if (events.Contains(evRx80Full))
        DoRx80Full();
}

void TCustomSerialPort::ApplyLineSettings() {
    if (!connected_)
        return;
    if (int error = platform_.SetLineSettings(device_, BuildDcb()))
        throw ESerialPort(CError_SetStateFailed, error);
}

void TCustomSerialPort::ApplyTimeoutSettings() {
    if (!connected_)
        return;
    if (int error = platform_.SetTimeouts(device_, BuildTimeouts()))
        throw ESerialPort(CError_TimeoutsFailed, error);
}

void TCustomSerialPort::ApplyQueueSizes() {
    if (!connected_)
        return;
    int error = platform_.SetupQueues(device_, static_cast<std::uint32_t>(buffer_.InputSize()),
                                      static_cast<std::uint32_t>(buffer_.OutputSize()));
    if (error)
        throw ESerialPort(CError_SetupComFailed, error);
}

void TCustomSerialPort::SetPort(const std::string& name) {
    if (name == port_)
        return;
    port_ = name;
    if (connected_) {
        ClosePort();
        OpenPort();
    }
}

void TCustomSerialPort::SetBaudRate(TBaudRate value) {
    if (Change(baudRate_, value))
        ApplyLineSettings();
}

void TCustomSerialPort::SetCustomBaudRate(int value) {
    if (Change(customBaudRate_, value))
        ApplyLineSettings();
}

void TCustomSerialPort::SetStopBits(TStopBits value) {
    if (Change(stopBits_, value))
        ApplyLineSettings();
}

void TCustomSerialPort::SetDataBits(TDataBits value) {
    if (Change(dataBits_, value))
        ApplyLineSettings();
}

void TCustomSerialPort::SetDiscardNull(bool value) {
    if (Change(discardNull_, value))
        ApplyLineSettings();
}

void TCustomSerialPort::SetEventChar(char value) {
    if (Change(eventChar_, value))
        ApplyLineSettings();
}

void TCustomSerialPort::SetSyncMethod(TSyncMethod value) {
    if (value == syncMethod_)
        return;
    if (connected_)
        throw ESerialPort(CError_ConnChangeProp);
    syncMethod_ = value;
}

void TCustomSerialPort::OpenDeviceHandle() {
    DeviceHandle device = InvalidDeviceHandle;
    if (int error = platform_.OpenDevice(port_, device))
        throw ESerialPort(CError_OpenFailed, error);
    device_ = device;
}

void TCustomSerialPort::CloseDeviceHandle() {
    if (device_ == InvalidDeviceHandle)
        return;
    platform_.CloseDevice(device_);
    device_ = InvalidDeviceHandle;
    ReleaseReadEvent();
}

void TCustomSerialPort::ConfigurePort() {
    ApplyQueueSizes();
    ApplyLineSettings();
    ApplyTimeoutSettings();
}

SerialDcb TCustomSerialPort::BuildDcb() const {
    const TSerialFlowControl& flow = flowControl_;
    bool replaceErrors = parity_.Check() && parity_.Replace();
    SerialDcb dcb;
    dcb.BaudRate = baudRate_ == TBaudRate::brCustom
                       ? static_cast<std::uint32_t>(customBaudRate_)
                       : BaudRates[static_cast<std::size_t>(baudRate_)];
    dcb.Flags = DcbBinary | Bit(parity_.Check(), DcbParityCheck) |
                Bit(flow.OutCTSFlow(), DcbOutxCtsFlow) | Bit(flow.OutDSRFlow(), DcbOutxDsrFlow) |
                DcbFieldBits(static_cast<std::uint32_t>(flow.ControlDTR()), DcbDtrControlShift) |
                Bit(flow.DSRSensitivity(), DcbDsrSensitivity) |
                Bit(flow.TxContinueOnXoff(), DcbTxContinueOnXoff) |
                Bit(flow.XonXoffOut(), DcbOutX) | Bit(flow.XonXoffIn(), DcbInX) |
                Bit(replaceErrors, DcbErrorChar) | Bit(discardNull_, DcbNull) |
                DcbFieldBits(static_cast<std::uint32_t>(flow.ControlRTS()), DcbRtsControlShift);
    dcb.XonLim = static_cast<std::uint16_t>(buffer_.InputSize() / 4);
    dcb.XoffLim = static_cast<std::uint16_t>(buffer_.InputSize() / 4);
    dcb.ByteSize = static_cast<std::uint8_t>(5 + static_cast<int>(dataBits_));
    dcb.Parity = static_cast<std::uint8_t>(parity_.Bits());
    dcb.StopBits = static_cast<std::uint8_t>(stopBits_);
    dcb.XonChar = flow.XonChar();
    dcb.XoffChar = flow.XoffChar();
    dcb.ErrorChar = replaceErrors ? parity_.ReplaceChar() : 0;
    dcb.EvtChar = eventChar_;
    return dcb;
}

SerialTimeouts TCustomSerialPort::BuildTimeouts() const {
    // -1 becomes the all-ones 32-bit value through the unsigned conversion.
    return {static_cast<std::uint32_t>(timeouts_.ReadInterval()),
            static_cast<std::uint32_t>(timeouts_.ReadTotalMultiplier()),
            static_cast<std::uint32_t>(timeouts_.ReadTotalConstant()),
            static_cast<std::uint32_t>(timeouts_.WriteTotalMultiplier()),
            static_cast<std::uint32_t>(timeouts_.WriteTotalConstant())};
}

void TCustomSerialPort::ReadModemLines() {
    DoCTSChange(ModemLine(MsCtsOn));
    DoDSRChange(ModemLine(MsDsrOn));
    DoRLSDChange(ModemLine(MsRlsdOn));
}

bool TCustomSerialPort::ModemLine(std::uint32_t bit) {
    std::uint32_t status = 0;
    if (int error = platform_.GetModemStatus(device_, status))
        throw ESerialPort(CError_ModemStatFailed, error);
    return (status & bit) != 0;
}

std::uint32_t TCustomSerialPort::QueuedInputCount(std::uint32_t& errors) {
    std::uint32_t queued = 0;
    if (int error = platform_.ClearErrors(device_, errors, queued))
        throw ESerialPort(CError_ClearComFailed, error);
    return queued;
}

void TCustomSerialPort::StopWatcher() {
    if (!watcher_)
        return;
    watcher_->Stop();
    watcher_.reset();
}

EventHandle TCustomSerialPort::ReadEvent() {
    if (!readEvent_) {
        EventHandle event = 0;
        if (int error = platform_.NewEvent(true, event))
            throw ESerialPort(CError_ReadFailed, error);
        readEvent_ = event;
    }
    return *readEvent_;
}

void TCustomSerialPort::ReleaseReadEvent() {
    if (readEvent_)
        platform_.CloseEvent(*readEvent_);
    readEvent_.reset();
}

void TCustomSerialPort::DoAfterClose() {
    if (OnAfterClose)
        OnAfterClose();
}

void TCustomSerialPort::DoAfterOpen() {
    if (OnAfterOpen)
        OnAfterOpen();
}

void TCustomSerialPort::DoBeforeClose() {
    if (OnBeforeClose)
        OnBeforeClose();
}

void TCustomSerialPort::DoBeforeOpen() {
    if (OnBeforeOpen)
        OnBeforeOpen();
}

void TCustomSerialPort::DoRxChar(int count) {
    if (OnRxChar)
        OnRxChar(count);
}

void TCustomSerialPort::DoRxBuf(const std::string& data) {
    if (OnRxBuf)
        OnRxBuf(data);
}

void TCustomSerialPort::DoTxEmpty() {
    if (OnTxEmpty)
        OnTxEmpty();
}

void TCustomSerialPort::DoBreak() {
    if (OnBreak)
        OnBreak();
}

void TCustomSerialPort::DoRing() {
    if (OnRing)
        OnRing();
}

void TCustomSerialPort::DoRxFlag() {
    if (OnRxFlag)
        OnRxFlag();
}

void TCustomSerialPort::DoCTSChange(bool on) {
    if (OnCTSChange)
        OnCTSChange(on);
}

void TCustomSerialPort::DoDSRChange(bool on) {
    if (OnDSRChange)
        OnDSRChange(on);
}

void TCustomSerialPort::DoError(TSerialErrors errors) {
    if (OnError)
        OnError(errors);
}

void TCustomSerialPort::DoRLSDChange(bool on) {
    if (OnRLSDChange)
        OnRLSDChange(on);
}

void TCustomSerialPort::DoRx80Full() {
    if (OnRx80Full)
        OnRx80Full();
}

} // namespace kronax
