// The serial platform of Windows: the kernel32 communications calls on a device opened for
// overlapped transfers, and the serial device map in the registry (advapi32).
//
// Waiting for received characters: the line-event watcher keeps the device's one WaitCommEvent
// for itself (a device accepts a single pending one), so WaitForInput waits with a read instead:
// for its duration a one-byte read waits under a total time-out of the given time, and the byte
// that ends the wait is kept aside and handed out first by the next Read. Both waits thus live side
// by side on the one device handle.
#include "link/PortName.h"
#include "link/SerialPlatform.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <string>

namespace kronax {
namespace {

HANDLE AsHandle(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

// The error of the call that just failed; never 0, so that a failure cannot pass as success.
int LastError() {
    DWORD error = GetLastError();
    return error != 0 ? static_cast<int>(error) : ERROR_GEN_FAILURE;
}

int Result(BOOL succeeded) {
    return succeeded ? 0 : LastError();
}

COMMTIMEOUTS CommTimeouts(const SerialTimeouts& record) {
    return {record.ReadIntervalTimeout, record.ReadTotalTimeoutMultiplier,
            record.ReadTotalTimeoutConstant, record.WriteTotalTimeoutMultiplier,
            record.WriteTotalTimeoutConstant};
}

// Waits for an overlapped transfer started with overlapped and returns its byte count.
int WaitForTransfer(HANDLE device, OVERLAPPED& overlapped, std::uint32_t& done) {
    if (WaitForSingleObject(overlapped.hEvent, INFINITE) != WAIT_OBJECT_0)
        return LastError();
    DWORD transferred = 0;
    // A read whose time-out passed has ended normally, with what it got; Wine reports it failed.
    if (!GetOverlappedResult(device, &overlapped, &transferred, FALSE) &&
        GetLastError() != ERROR_TIMEOUT)
        return LastError();
    done = transferred;
    return 0;
}

class Win32SerialPlatform : public ISerialPlatform {
public:
    int OpenDevice(const std::string& portName, DeviceHandle& device) override {
        if (!ComPortNumber(portName))
            return ERROR_FILE_NOT_FOUND;
        // The device namespace prefix makes ports above COM9 open.
        std::string path = "\\\\.\\" + portName;
        HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return LastError();
        device = reinterpret_cast<DeviceHandle>(handle);
        return 0;
    }

    int CloseDevice(DeviceHandle device) override {
        {
            std::lock_guard lock(mutex_);
            lookAhead_.erase(device);
            timeouts_.erase(device);
            errorsAside_.erase(device);
        }
        return Result(CloseHandle(AsHandle(device)));
    }

    int SetupQueues(DeviceHandle device, std::uint32_t inputSize,
                    std::uint32_t outputSize) override {
        return Result(SetupComm(AsHandle(device), inputSize, outputSize));
    }

    int SetLineSettings(DeviceHandle device, const SerialDcb& record) override {
        DCB dcb{};
        dcb.DCBlength = sizeof(DCB);
        dcb.BaudRate = record.BaudRate;
        const std::uint32_t flags = record.Flags;
        dcb.fBinary = DcbFlag(flags, DcbBinary);
        dcb.fParity = DcbFlag(flags, DcbParityCheck);
        dcb.fOutxCtsFlow = DcbFlag(flags, DcbOutxCtsFlow);
        dcb.fOutxDsrFlow = DcbFlag(flags, DcbOutxDsrFlow);
        // The masks let the compiler see that the fields fit their two bits.
        dcb.fDtrControl = DcbField(flags, DcbDtrControlShift) & 3u;
        dcb.fDsrSensitivity = DcbFlag(flags, DcbDsrSensitivity);
        dcb.fTXContinueOnXoff = DcbFlag(flags, DcbTxContinueOnXoff);
        dcb.fOutX = DcbFlag(flags, DcbOutX);
        dcb.fInX = DcbFlag(flags, DcbInX);
        dcb.fErrorChar = DcbFlag(flags, DcbErrorChar);
        dcb.fNull = DcbFlag(flags, DcbNull);
        dcb.fRtsControl = DcbField(flags, DcbRtsControlShift) & 3u;
        dcb.fAbortOnError = DcbFlag(flags, DcbAbortOnError);
        dcb.wReserved = record.wReserved;
        dcb.XonLim = record.XonLim;
        dcb.XoffLim = record.XoffLim;
        dcb.ByteSize = record.ByteSize;
        dcb.Parity = record.Parity;
        dcb.StopBits = record.StopBits;
        dcb.XonChar = record.XonChar;
        dcb.XoffChar = record.XoffChar;
        dcb.ErrorChar = record.ErrorChar;
        dcb.EofChar = record.EofChar;
        dcb.EvtChar = record.EvtChar;
        dcb.wReserved1 = record.wReserved1;
        return Result(SetCommState(AsHandle(device), &dcb));
    }

    int SetTimeouts(DeviceHandle device, const SerialTimeouts& record) override {
        COMMTIMEOUTS timeouts = CommTimeouts(record);
        if (!SetCommTimeouts(AsHandle(device), &timeouts))
            return LastError();
        std::lock_guard lock(mutex_);
        timeouts_[device] = record;
        return 0;
    }

    int Purge(DeviceHandle device, std::uint32_t flags) override {
        if (!PurgeComm(AsHandle(device), flags))
            return LastError();
        if (flags & PURGE_RXCLEAR) {
            std::lock_guard lock(mutex_);
            lookAhead_.erase(device);
        }
        return 0;
    }

    int Write(DeviceHandle device, const char* data, std::uint32_t count, EventHandle requestEvent,
              std::uint32_t& done) override {
        OVERLAPPED overlapped{};
        overlapped.hEvent = AsHandle(requestEvent);
        DWORD written = 0;
        if (!WriteFile(AsHandle(device), data, count, &written, &overlapped) &&
            GetLastError() != ERROR_IO_PENDING)
            return LastError();
        return WaitForTransfer(AsHandle(device), overlapped, done);
    }

    int Read(DeviceHandle device, char* data, std::uint32_t count, EventHandle requestEvent,
             std::uint32_t& done) override {
        const std::uint32_t early = TakeLookAhead(device, data, count);
        done = early;
        if (early == count)
            return 0;
        std::uint32_t wanted = count - early;
        if (ReturnsAtOnce(device)) {
            if (int error = QueuedBytes(device, wanted))
                return error;
            if (wanted == 0)
                return 0;
        }
        std::uint32_t received = 0;
        if (int error = StartAndWaitRead(device, data + early, wanted, requestEvent, received))
            return error;
        done += received;
        return 0;
    }

    int WaitForInput(DeviceHandle device, EventHandle requestEvent,
                     std::uint32_t milliseconds) override {
        COMMTIMEOUTS kept{};
        {
            std::lock_guard lock(mutex_);
            if (lookAhead_.contains(device))
                return 0;
            auto found = timeouts_.find(device);
            if (found == timeouts_.end())
                return ERROR_INVALID_HANDLE;
            kept = CommTimeouts(found->second);
        }
        // A one-byte read under a total time-out alone returns at the first byte, or empty once
        // the time-out has passed. (The documented MAXDWORD interval and multiplier for the same
        // end are not honoured by Wine, whose read then waits for a byte without end.)
        COMMTIMEOUTS waiting = kept;
        waiting.ReadIntervalTimeout = 0;
        waiting.ReadTotalTimeoutMultiplier = 0;
        waiting.ReadTotalTimeoutConstant = std::clamp<DWORD>(milliseconds, 1, MAXDWORD - 1);
        HANDLE handle = AsHandle(device);
        if (!SetCommTimeouts(handle, &waiting))
            return LastError();
        char byte = 0;
        std::uint32_t received = 0;
        int error = StartAndWaitRead(device, &byte, 1, requestEvent, received);
        if (!SetCommTimeouts(handle, &kept) && error == 0)
            error = LastError();
        if (received == 1) {
            std::lock_guard lock(mutex_);
            lookAhead_[device] += byte;
        }
        return error;
    }

    int ClearErrors(DeviceHandle device, std::uint32_t& errors,
                    std::uint32_t& inputQueued) override {
        DWORD flags = 0;
        COMSTAT status{};
        if (!ClearCommError(AsHandle(device), &flags, &status))
            return LastError();
        std::lock_guard lock(mutex_);
        errors = flags | errorsAside_[device];
        errorsAside_.erase(device);
        auto early = lookAhead_.find(device);
        inputQueued = status.cbInQue +
                      (early == lookAhead_.end() ? 0 : static_cast<DWORD>(early->second.size()));
        return 0;
    }

    int GetModemStatus(DeviceHandle device, std::uint32_t& status) override {
        DWORD lines = 0;
        if (!GetCommModemStatus(AsHandle(device), &lines))
            return LastError();
        status = lines;
        return 0;
    }

    int SetEventMask(DeviceHandle device, std::uint32_t mask) override {
        return Result(SetCommMask(AsHandle(device), mask));
    }

    LineWait WaitLineEvent(DeviceHandle device, EventHandle waitEvent, EventHandle stopSignal,
                           std::uint32_t& mask) override {
        HANDLE handle = AsHandle(device);
        OVERLAPPED overlapped{};
        overlapped.hEvent = AsHandle(waitEvent);
        DWORD signalled = 0;
        if (!WaitCommEvent(handle, &signalled, &overlapped) && GetLastError() != ERROR_IO_PENDING) {
            // A device that refuses to wait must not turn this loop into a busy one, and the
            // stop signal, once set, stays set: report it, or the watcher never ends.
            DWORD paused = WaitForSingleObject(AsHandle(stopSignal), RefusedWaitPause);
            return paused == WAIT_TIMEOUT ? LineWait::NotSignalled : LineWait::Stopped;
        }
        HANDLE waits[2] = {AsHandle(stopSignal), overlapped.hEvent};
        DWORD woken = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        DWORD transferred = 0;
        if (woken == WAIT_OBJECT_0 + 1) {
            if (!GetOverlappedResult(handle, &overlapped, &transferred, FALSE))
                return LineWait::NotSignalled;
            mask = signalled;
            return LineWait::Signalled;
        }
        // The wait may still be pending on this stack frame: end it before leaving.
        CancelIo(handle);
        GetOverlappedResult(handle, &overlapped, &transferred, TRUE);
        return LineWait::Stopped;
    }

    int NewEvent(bool initiallySet, EventHandle& event) override {
        HANDLE handle = CreateEventA(nullptr, TRUE, initiallySet ? TRUE : FALSE, nullptr);
        if (handle == nullptr)
            return LastError();
        event = reinterpret_cast<EventHandle>(handle);
        return 0;
    }

    int SignalEvent(EventHandle event) override { return Result(SetEvent(AsHandle(event))); }

    int CloseEvent(EventHandle event) override { return Result(CloseHandle(AsHandle(event))); }

    int OpenDeviceMap(DeviceMapHandle& map) override {
        HKEY key = nullptr;
        LONG result =
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key);
        if (result != ERROR_SUCCESS)
            return static_cast<int>(result);
        map = reinterpret_cast<DeviceMapHandle>(key);
        return 0;
    }

    int NextPortName(DeviceMapHandle map, std::uint32_t index, std::string& name) override {
        char valueName[256];
        DWORD valueNameLength = sizeof valueName;
        DWORD type = 0;
        BYTE data[256];
        DWORD dataSize = sizeof data;
        LONG result = RegEnumValueA(reinterpret_cast<HKEY>(map), index, valueName, &valueNameLength,
                                    nullptr, &type, data, &dataSize);
        if (result != ERROR_SUCCESS)
            return static_cast<int>(result);
        name.assign(reinterpret_cast<const char*>(data), dataSize);
        name.erase(name.find_last_not_of('\0') + 1);
        return 0;
    }

    int CloseDeviceMap(DeviceMapHandle map) override {
        return static_cast<int>(RegCloseKey(reinterpret_cast<HKEY>(map)));
    }

private:
    static constexpr DWORD RefusedWaitPause = 100;

    static int StartAndWaitRead(DeviceHandle device, char* data, std::uint32_t count,
                                EventHandle requestEvent, std::uint32_t& done) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = AsHandle(requestEvent);
        DWORD received = 0;
        if (!ReadFile(AsHandle(device), data, count, &received, &overlapped) &&
            GetLastError() != ERROR_IO_PENDING)
            return LastError();
        return WaitForTransfer(AsHandle(device), overlapped, done);
    }

    bool ReturnsAtOnce(DeviceHandle device) {
        std::lock_guard lock(mutex_);
        auto found = timeouts_.find(device);
        return found != timeouts_.end() && found->second.ReadReturnsAtOnce();
    }

    // Lowers count to the bytes the device holds. A read of no more than those completes at once
    // everywhere, while Wine leaves an overlapped read under "return at once" time-outs waiting
    // for a byte. The line errors that asking clears are kept for the next ClearErrors.
    int QueuedBytes(DeviceHandle device, std::uint32_t& count) {
        DWORD flags = 0;
        COMSTAT status{};
        if (!ClearCommError(AsHandle(device), &flags, &status))
            return LastError();
        count = std::min<std::uint32_t>(count, status.cbInQue);
        if (flags != 0) {
            std::lock_guard lock(mutex_);
            errorsAside_[device] |= flags;
        }
        return 0;
    }

    // Moves up to count bytes kept aside by WaitForInput into data; returns their number.
    std::uint32_t TakeLookAhead(DeviceHandle device, char* data, std::uint32_t count) {
        std::lock_guard lock(mutex_);
        auto early = lookAhead_.find(device);
        if (early == lookAhead_.end())
            return 0;
        std::string& bytes = early->second;
        const auto taken = std::min<std::size_t>(count, bytes.size());
        std::copy_n(bytes.begin(), taken, data);
        bytes.erase(0, taken);
        if (bytes.empty())
            lookAhead_.erase(early);
        return static_cast<std::uint32_t>(taken);
    }

    // Guards the per-device records below: the watcher thread purges too.
    std::mutex mutex_;
    std::map<DeviceHandle, SerialTimeouts> timeouts_;
    std::map<DeviceHandle, std::string> lookAhead_;
    std::map<DeviceHandle, DWORD> errorsAside_;
};

} // namespace

ISerialPlatform& SystemSerialPlatform() {
    static Win32SerialPlatform platform;
    return platform;
}

} // namespace kronax
