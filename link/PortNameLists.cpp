#include "link/PortNameLists.h"

#include <cerrno>

namespace kronax {

int ReadPortNames(ISerialPlatform& platform, DeviceMapHandle map, std::vector<std::string>& names) {
    for (std::uint32_t index = 0;; ++index) {
        std::string name;
        const int result = platform.NextPortName(map, index, name);
        if (result == ErrorNoMoreItems)
            return 0;
        if (result != 0)
            return result;
        names.push_back(std::move(name));
    }
}

DeviceMapHandle PortNameLists::Open(std::vector<std::string> names) {
    std::lock_guard lock(mutex_);
    const DeviceMapHandle map = next_++;
    lists_[map] = std::move(names);
    return map;
}

int PortNameLists::Next(DeviceMapHandle map, std::uint32_t index, std::string& name) {
    std::lock_guard lock(mutex_);
    auto found = lists_.find(map);
    if (found == lists_.end())
        return EBADF;
    if (index >= found->second.size())
        return ErrorNoMoreItems;
    name = found->second[index];
    return 0;
}

int PortNameLists::Close(DeviceMapHandle map) {
    std::lock_guard lock(mutex_);
    return lists_.erase(map) == 1 ? 0 : EBADF;
}

} // namespace kronax
