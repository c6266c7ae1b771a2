#pragma once

#include "link/SerialPlatform.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace kronax {

// A scripted serial platform for tests. It records every call with its arguments as text
// ("SetupQueues 1024 1024"), can be told to fail any call with a given error, and simulates one
// device: a receive queue the test fills, the bytes written, modem lines, pending line errors
// and line events, and a device map. Thread-safe; calls from the thread that created it are
// kept apart from those of other threads (the watcher), whose order is not deterministic.
class FakeSerialPlatform : public ISerialPlatform {
public:
    // The error a call on a handle that is not open reports.
    static constexpr int InvalidHandleError = 6;

    FakeSerialPlatform();

    // Calls made on the creating thread, in order; and those made on any other thread.
    std::vector<std::string> Calls() const;
    std::vector<std::string> OtherThreadCalls() const;
    void ClearCalls();

    // Every later call of the operation named name (e.g. "Purge") fails with error, until
    // Succeed(name).
    void Fail(const std::string& name, int error);
    void Succeed(const std::string& name);

    void QueueInput(const std::string& bytes);
    // Each later WaitForInput lands the next of pieces in the receive queue before it returns at
    // once; an empty piece is a wake-up with nothing to read. Without pieces left a wait returns
    // at once with nothing new.
    void ArriveDuringWaits(std::vector<std::string> pieces);
    std::string Input() const;
    std::string Written() const;
    void SetModemStatus(std::uint32_t status);
    void SetLineErrors(std::uint32_t flags);
    // Completes the current or next wait for line events with mask.
    void RaiseLineEvents(std::uint32_t mask);
    void SetPortNames(std::vector<std::string> names);
    // Waits up to limit until a thread waits for line events; false when none came.
    bool AwaitLineWaiter(std::chrono::milliseconds limit);

    SerialDcb LastDcb() const;
    SerialTimeouts LastTimeouts() const;
    std::uint32_t EventMask() const;
    int OpenDeviceCount() const;
    int OpenEventCount() const;

    int OpenDevice(const std::string& portName, DeviceHandle& device) override;
    int CloseDevice(DeviceHandle device) override;
    int SetupQueues(DeviceHandle device, std::uint32_t inputSize,
                    std::uint32_t outputSize) override;
    int SetLineSettings(DeviceHandle device, const SerialDcb& dcb) override;
    int SetTimeouts(DeviceHandle device, const SerialTimeouts& timeouts) override;
    int Purge(DeviceHandle device, std::uint32_t flags) override;
    int Write(DeviceHandle device, const char* data, std::uint32_t count, EventHandle requestEvent,
              std::uint32_t& done) override;
    int Read(DeviceHandle device, char* data, std::uint32_t count, EventHandle requestEvent,
             std::uint32_t& done) override;
    int WaitForInput(DeviceHandle device, EventHandle requestEvent,
                     std::uint32_t milliseconds) override;
    int ClearErrors(DeviceHandle device, std::uint32_t& errors,
                    std::uint32_t& inputQueued) override;
    int GetModemStatus(DeviceHandle device, std::uint32_t& status) override;
    int SetEventMask(DeviceHandle device, std::uint32_t mask) override;
    LineWait WaitLineEvent(DeviceHandle device, EventHandle waitEvent, EventHandle stopSignal,
                           std::uint32_t& mask) override;
    int NewEvent(bool initiallySet, EventHandle& event) override;
    int SignalEvent(EventHandle event) override;
    int CloseEvent(EventHandle event) override;
    int OpenDeviceMap(DeviceMapHandle& map) override;
    int NextPortName(DeviceMapHandle map, std::uint32_t index, std::string& name) override;
    int CloseDeviceMap(DeviceMapHandle map) override;

private:
    // Records the call and returns its scripted error, or 0.
    int Record(const std::string& name, const std::string& arguments = {});
    int CheckDevice(DeviceHandle device) const;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::thread::id owner_;
    std::vector<std::string> calls_;
    std::vector<std::string> otherCalls_;
    std::map<std::string, int> failures_;
    std::set<DeviceHandle> openDevices_;
    std::map<EventHandle, bool> events_;
    std::intptr_t nextHandle_ = 100;
    std::string input_;
    std::deque<std::string> waitArrivals_;
    std::string written_;
    std::uint32_t modemStatus_ = 0;
    std::uint32_t lineErrors_ = 0;
    std::uint32_t eventMask_ = 0;
    std::uint32_t pendingEvents_ = 0;
    int lineWaiters_ = 0;
    std::vector<std::string> portNames_;
    SerialDcb lastDcb_;
    SerialTimeouts lastTimeouts_;
};

} // namespace kronax
