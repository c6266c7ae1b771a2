#include "tests/fakes/FakeSerialPlatform.h"

#include "tests/support/TakeFirst.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace kronax {
namespace {

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(value));
    return text;
}

} // namespace

FakeSerialPlatform::FakeSerialPlatform() : owner_(std::this_thread::get_id()) {}

std::vector<std::string> FakeSerialPlatform::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<std::string> FakeSerialPlatform::OtherThreadCalls() const {
    std::lock_guard lock(mutex_);
    return otherCalls_;
}

void FakeSerialPlatform::ClearCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
    otherCalls_.clear();
}

void FakeSerialPlatform::Fail(const std::string& name, int error) {
    std::lock_guard lock(mutex_);
    failures_[name] = error;
}

void FakeSerialPlatform::Succeed(const std::string& name) {
    std::lock_guard lock(mutex_);
    failures_.erase(name);
}

void FakeSerialPlatform::QueueInput(const std::string& bytes) {
    std::lock_guard lock(mutex_);
    input_ += bytes;
}

void FakeSerialPlatform::ArriveDuringWaits(std::vector<std::string> pieces) {
    std::lock_guard lock(mutex_);
    waitArrivals_.assign(pieces.begin(), pieces.end());
}

std::string FakeSerialPlatform::Input() const {
    std::lock_guard lock(mutex_);
    return input_;
}

std::string FakeSerialPlatform::Written() const {
    std::lock_guard lock(mutex_);
    return written_;
}

void FakeSerialPlatform::SetModemStatus(std::uint32_t status) {
    std::lock_guard lock(mutex_);
    modemStatus_ = status;
}

void FakeSerialPlatform::SetLineErrors(std::uint32_t flags) {
    std::lock_guard lock(mutex_);
    lineErrors_ = flags;
}

void FakeSerialPlatform::RaiseLineEvents(std::uint32_t mask) {
    {
        std::lock_guard lock(mutex_);
        pendingEvents_ |= mask;
    }
    changed_.notify_all();
}

void FakeSerialPlatform::SetPortNames(std::vector<std::string> names) {
    std::lock_guard lock(mutex_);
    portNames_ = std::move(names);
}

bool FakeSerialPlatform::AwaitLineWaiter(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return lineWaiters_ > 0; });
}

SerialDcb FakeSerialPlatform::LastDcb() const {
    std::lock_guard lock(mutex_);
    return lastDcb_;
}

SerialTimeouts FakeSerialPlatform::LastTimeouts() const {
    std::lock_guard lock(mutex_);
    return lastTimeouts_;
}

std::uint32_t FakeSerialPlatform::EventMask() const {
    std::lock_guard lock(mutex_);
    return eventMask_;
}

int FakeSerialPlatform::OpenDeviceCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(openDevices_.size());
}

int FakeSerialPlatform::OpenEventCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(events_.size());
}

int FakeSerialPlatform::OpenDevice(const std::string& portName, DeviceHandle& device) {
    std::lock_guard lock(mutex_);
    if (int error = Record("OpenDevice", portName))
        return error;
    device = nextHandle_++;
    openDevices_.insert(device);
    return 0;
}

int FakeSerialPlatform::CloseDevice(DeviceHandle device) {
    std::lock_guard lock(mutex_);
    if (int error = Record("CloseDevice"))
        return error;
    if (openDevices_.erase(device) == 0)
        return InvalidHandleError;
    input_.clear();
    return 0;
}

int FakeSerialPlatform::SetupQueues(DeviceHandle device, std::uint32_t inputSize,
                                    std::uint32_t outputSize) {
    std::lock_guard lock(mutex_);
    if (int error =
            Record("SetupQueues", std::to_string(inputSize) + " " + std::to_string(outputSize)))
        return error;
    return CheckDevice(device);
}

int FakeSerialPlatform::SetLineSettings(DeviceHandle device, const SerialDcb& dcb) {
    std::lock_guard lock(mutex_);
    if (int error = Record("SetLineSettings"))
        return error;
    lastDcb_ = dcb;
    return CheckDevice(device);
}

int FakeSerialPlatform::SetTimeouts(DeviceHandle device, const SerialTimeouts& timeouts) {
    std::lock_guard lock(mutex_);
    if (int error = Record("SetTimeouts"))
        return error;
    lastTimeouts_ = timeouts;
    return CheckDevice(device);
}

int FakeSerialPlatform::Purge(DeviceHandle device, std::uint32_t flags) {
    std::lock_guard lock(mutex_);
    if (int error = Record("Purge", std::to_string(flags)))
        return error;
    if (int error = CheckDevice(device))
        return error;
    if (flags & PurgeRxClear)
        input_.clear();
    return 0;
}

int FakeSerialPlatform::Write(DeviceHandle device, const char* data, std::uint32_t count,
                              EventHandle requestEvent, std::uint32_t& done) {
    std::lock_guard lock(mutex_);
    if (int error = Record("Write", std::to_string(count)))
        return error;
    if (int error = CheckDevice(device))
        return error;
    if (!events_.contains(requestEvent))
        return InvalidHandleError;
    written_.append(data, count);
    done = count;
    return 0;
}

int FakeSerialPlatform::Read(DeviceHandle device, char* data, std::uint32_t count,
                             EventHandle requestEvent, std::uint32_t& done) {
    std::lock_guard lock(mutex_);
    if (int error = Record("Read", std::to_string(count)))
        return error;
    if (int error = CheckDevice(device))
        return error;
    if (!events_.contains(requestEvent))
        return InvalidHandleError;
    done = std::min<std::uint32_t>(count, static_cast<std::uint32_t>(input_.size()));
    std::copy_n(input_.begin(), done, data);
    input_.erase(0, done);
    return 0;
}

int FakeSerialPlatform::WaitForInput(DeviceHandle device, EventHandle requestEvent,
                                     std::uint32_t milliseconds) {
    std::lock_guard lock(mutex_);
    if (int error = Record("WaitForInput", std::to_string(milliseconds)))
        return error;
    if (int error = CheckDevice(device))
        return error;
    if (!events_.contains(requestEvent))
        return InvalidHandleError;
    if (auto next = test::TakeFirst(waitArrivals_))
        input_ += *next;
    return 0;
}

int FakeSerialPlatform::ClearErrors(DeviceHandle device, std::uint32_t& errors,
                                    std::uint32_t& inputQueued) {
    std::lock_guard lock(mutex_);
    if (int error = Record("ClearErrors"))
        return error;
    if (int error = CheckDevice(device))
        return error;
    errors = std::exchange(lineErrors_, 0);
    inputQueued = static_cast<std::uint32_t>(input_.size());
    return 0;
}

int FakeSerialPlatform::GetModemStatus(DeviceHandle device, std::uint32_t& status) {
    std::lock_guard lock(mutex_);
    if (int error = Record("GetModemStatus"))
        return error;
    if (int error = CheckDevice(device))
        return error;
    status = modemStatus_;
    return 0;
}

int FakeSerialPlatform::SetEventMask(DeviceHandle device, std::uint32_t mask) {
    std::lock_guard lock(mutex_);
    if (int error = Record("SetEventMask", Hex(mask)))
        return error;
    if (int error = CheckDevice(device))
        return error;
    eventMask_ = mask;
    return 0;
}

LineWait FakeSerialPlatform::WaitLineEvent(DeviceHandle device, EventHandle waitEvent,
                                           EventHandle stopSignal, std::uint32_t& mask) {
    std::unique_lock lock(mutex_);
    if (CheckDevice(device) != 0 || !events_.contains(waitEvent))
        return LineWait::Stopped;
    ++lineWaiters_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return events_[stopSignal] || (pendingEvents_ & eventMask_); });
    --lineWaiters_;
    if (events_[stopSignal])
        return LineWait::Stopped;
    mask = pendingEvents_ & eventMask_;
    pendingEvents_ &= ~mask;
    return LineWait::Signalled;
}

int FakeSerialPlatform::NewEvent(bool initiallySet, EventHandle& event) {
    std::lock_guard lock(mutex_);
    if (int error = Record("NewEvent", initiallySet ? "1" : "0"))
        return error;
    event = nextHandle_++;
    events_[event] = initiallySet;
    return 0;
}

int FakeSerialPlatform::SignalEvent(EventHandle event) {
    {
        std::lock_guard lock(mutex_);
        if (int error = Record("SignalEvent"))
            return error;
        auto found = events_.find(event);
        if (found == events_.end())
            return InvalidHandleError;
        found->second = true;
    }
    changed_.notify_all();
    return 0;
}

int FakeSerialPlatform::CloseEvent(EventHandle event) {
    std::lock_guard lock(mutex_);
    if (int error = Record("CloseEvent"))
        return error;
    return events_.erase(event) == 1 ? 0 : InvalidHandleError;
}

int FakeSerialPlatform::OpenDeviceMap(DeviceMapHandle& map) {
    std::lock_guard lock(mutex_);
    if (int error = Record("OpenDeviceMap"))
        return error;
    map = nextHandle_++;
    return 0;
}

int FakeSerialPlatform::NextPortName(DeviceMapHandle, std::uint32_t index, std::string& name) {
    std::lock_guard lock(mutex_);
    if (int error = Record("NextPortName", std::to_string(index)))
        return error;
    if (index >= portNames_.size())
        return ErrorNoMoreItems;
    name = portNames_[index];
    return 0;
}

int FakeSerialPlatform::CloseDeviceMap(DeviceMapHandle) {
    std::lock_guard lock(mutex_);
    return Record("CloseDeviceMap");
}

int FakeSerialPlatform::Record(const std::string& name, const std::string& arguments) {
    std::string call = arguments.empty() ? name : name + " " + arguments;
    (std::this_thread::get_id() == owner_ ? calls_ : otherCalls_).push_back(call);
    auto failure = failures_.find(name);
    return failure == failures_.end() ? 0 : failure->second;
}

int FakeSerialPlatform::CheckDevice(DeviceHandle device) const {
    return openDevices_.contains(device) ? 0 : InvalidHandleError;
}

} // namespace kronax
