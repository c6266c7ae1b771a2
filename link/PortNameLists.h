#pragma once

#include "link/SerialPlatform.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace kronax {

// Every name of an open device map, read through platform one at a time. Returns the first
// error other than ErrorNoMoreItems, with the names read before it.
int ReadPortNames(ISerialPlatform& platform, DeviceMapHandle map, std::vector<std::string>& names);

// The open device maps of a platform that takes the whole list of names when a map is opened:
// the device-map calls of ISerialPlatform over lists kept here. Any thread.
class PortNameLists {
public:
    DeviceMapHandle Open(std::vector<std::string> names);
    // ErrorNoMoreItems after the last name, EBADF for a map that is not open.
    int Next(DeviceMapHandle map, std::uint32_t index, std::string& name);
    int Close(DeviceMapHandle map);

private:
    std::mutex mutex_;
    std::map<DeviceMapHandle, std::vector<std::string>> lists_;
    DeviceMapHandle next_ = 1;
};

} // namespace kronax
