#include "link/network/NetworkSerialPlatform.h"

#include "link/linux/LinuxArrivalWait.h"
#include "link/linux/LinuxPortMap.h"
#include "link/network/NetworkConnection.h"
#include "link/network/NetworkPortName.h"

#include <algorithm>
#include <cerrno>

namespace kronax::posix {
namespace {

// Network handles count up from here, clear of local's file descriptors.
constexpr DeviceHandle FirstNetworkHandle = DeviceHandle{1} << 30;

bool IsNetworkHandle(DeviceHandle device) {
    return device >= FirstNetworkHandle;
}

} // namespace

NetworkSerialPlatform::NetworkSerialPlatform(ISerialPlatform& local)
    : local_(local), nextHandle_(FirstNetworkHandle) {}

NetworkSerialPlatform::~NetworkSerialPlatform() = default;

int NetworkSerialPlatform::OpenDevice(const std::string& portName, DeviceHandle& device) {
    auto address = ParseNetworkPortUrl(portName);
    if (!address)
        if (auto url = MappedPortUrl(portName))
            address = ParseNetworkPortUrl(*url);
    if (!address)
        return local_.OpenDevice(portName, device);
    auto connection = std::make_shared<NetworkConnection>();
    if (int error = connection->Connect(*address))
        return error;
    std::lock_guard lock(mutex_);
    device = nextHandle_++;
    connections_[device] = std::move(connection);
    return 0;
}

int NetworkSerialPlatform::CloseDevice(DeviceHandle device) {
    if (!IsNetworkHandle(device))
        return local_.CloseDevice(device);
    std::lock_guard lock(mutex_);
    return connections_.erase(device) == 1 ? 0 : EBADF;
}

int NetworkSerialPlatform::SetupQueues(DeviceHandle device, std::uint32_t inputSize,
                                       std::uint32_t outputSize) {
    if (!IsNetworkHandle(device))
        return local_.SetupQueues(device, inputSize, outputSize);
    return Find(device) ? 0 : EBADF;
}

int NetworkSerialPlatform::SetLineSettings(DeviceHandle device, const SerialDcb& dcb) {
    if (!IsNetworkHandle(device))
        return local_.SetLineSettings(device, dcb);
    auto connection = Find(device);
    return connection ? connection->SetLineSettings(dcb) : EBADF;
}

int NetworkSerialPlatform::SetTimeouts(DeviceHandle device, const SerialTimeouts& timeouts) {
    if (!IsNetworkHandle(device))
        return local_.SetTimeouts(device, timeouts);
    auto connection = Find(device);
    if (!connection)
        return EBADF;
    connection->SetTimeouts(timeouts);
    return 0;
}

int NetworkSerialPlatform::Purge(DeviceHandle device, std::uint32_t flags) {
    if (!IsNetworkHandle(device))
        return local_.Purge(device, flags);
    auto connection = Find(device);
    return connection ? connection->Purge(flags & PurgeRxClear, flags & PurgeTxClear) : EBADF;
}

int NetworkSerialPlatform::Write(DeviceHandle device, const char* data, std::uint32_t count,
                                 EventHandle requestEvent, std::uint32_t& done) {
    if (!IsNetworkHandle(device))
        return local_.Write(device, data, count, requestEvent, done);
    auto connection = Find(device);
    return connection ? connection->Write(data, count, done) : EBADF;
}

int NetworkSerialPlatform::Read(DeviceHandle device, char* data, std::uint32_t count,
                                EventHandle requestEvent, std::uint32_t& done) {
    if (!IsNetworkHandle(device))
        return local_.Read(device, data, count, requestEvent, done);
    auto connection = Find(device);
    return connection ? connection->Read(data, count, done) : EBADF;
}

int NetworkSerialPlatform::WaitForInput(DeviceHandle device, EventHandle requestEvent,
                                        std::uint32_t milliseconds) {
    if (!IsNetworkHandle(device))
        return local_.WaitForInput(device, requestEvent, milliseconds);
    auto connection = Find(device);
    return connection ? connection->WaitForInput(milliseconds) : EBADF;
}

int NetworkSerialPlatform::ClearErrors(DeviceHandle device, std::uint32_t& errors,
                                       std::uint32_t& inputQueued) {
    if (!IsNetworkHandle(device))
        return local_.ClearErrors(device, errors, inputQueued);
    auto connection = Find(device);
    errors = 0;
    return connection ? connection->QueuedInput(inputQueued) : EBADF;
}

int NetworkSerialPlatform::GetModemStatus(DeviceHandle device, std::uint32_t& status) {
    if (!IsNetworkHandle(device))
        return local_.GetModemStatus(device, status);
    auto connection = Find(device);
    return connection ? connection->ModemStatus(status) : EBADF;
}

int NetworkSerialPlatform::SetEventMask(DeviceHandle device, std::uint32_t mask) {
    if (!IsNetworkHandle(device))
        return local_.SetEventMask(device, mask);
    auto connection = Find(device);
    if (!connection)
        return EBADF;
    connection->SetEventMask(mask);
    return 0;
}

// Arrivals are the only line event a network port has: signalled once per arrival, like the
// local ports' watcher, so bytes left unread cause no repeated events.
LineWait NetworkSerialPlatform::WaitLineEvent(DeviceHandle device, EventHandle waitEvent,
                                              EventHandle stopSignal, std::uint32_t& mask) {
    if (!IsNetworkHandle(device))
        return local_.WaitLineEvent(device, waitEvent, stopSignal, mask);
    auto connection = Find(device);
    if (!connection)
        return LineWait::Stopped;
    for (;;) {
        if (!WaitForArrival(static_cast<int>(stopSignal), connection->ArrivalFd()))
            return LineWait::Stopped;
        if (connection->EventMask() & EvRxChar) {
            mask = EvRxChar;
            return LineWait::Signalled;
        }
    }
}

int NetworkSerialPlatform::NewEvent(bool initiallySet, EventHandle& event) {
    return local_.NewEvent(initiallySet, event);
}

int NetworkSerialPlatform::SignalEvent(EventHandle event) {
    return local_.SignalEvent(event);
}

int NetworkSerialPlatform::CloseEvent(EventHandle event) {
    return local_.CloseEvent(event);
}

int NetworkSerialPlatform::OpenDeviceMap(DeviceMapHandle& map) {
    DeviceMapHandle localMap = 0;
    if (int error = local_.OpenDeviceMap(localMap))
        return error;
    std::vector<std::string> names;
    const int error = ReadPortNames(local_, localMap, names);
    local_.CloseDeviceMap(localMap);
    if (error)
        return error;
    for (std::string& name : MappedPortNames())
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(std::move(name));
    map = portNames_.Open(std::move(names));
    return 0;
}

int NetworkSerialPlatform::NextPortName(DeviceMapHandle map, std::uint32_t index,
                                        std::string& name) {
    return portNames_.Next(map, index, name);
}

int NetworkSerialPlatform::CloseDeviceMap(DeviceMapHandle map) {
    return portNames_.Close(map);
}

std::shared_ptr<NetworkConnection> NetworkSerialPlatform::Find(DeviceHandle device) {
    std::lock_guard lock(mutex_);
    auto found = connections_.find(device);
    return found == connections_.end() ? nullptr : found->second;
}

} // namespace kronax::posix
