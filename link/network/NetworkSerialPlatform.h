#pragma once

#include "link/PortNameLists.h"
#include "link/SerialPlatform.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kronax::posix {

class NetworkConnection;

// The platform that reaches ports behind network serial servers itself and every other port
// through local: a port named by a URL (see NetworkPortName.h), or a COM<n> the user's port map
// sends to one, is a TCP connection; event objects and the rest of the ports are local's. The
// device map lists local's ports and the mapped ones.
class NetworkSerialPlatform : public ISerialPlatform {
public:
    explicit NetworkSerialPlatform(ISerialPlatform& local);
    ~NetworkSerialPlatform() override;

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
    // The connection behind a network handle; null for local's handles and closed ones.
    std::shared_ptr<NetworkConnection> Find(DeviceHandle device);

    ISerialPlatform& local_;
    std::mutex mutex_;
    std::map<DeviceHandle, std::shared_ptr<NetworkConnection>> connections_;
    DeviceHandle nextHandle_;
    PortNameLists portNames_;
};

} // namespace kronax::posix
