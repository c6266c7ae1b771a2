#include "link/PortName.h"
#include "link/PortNameLists.h"
#include "link/SerialError.h"
#include "link/SerialPort.h"

#include <algorithm>
#include <cctype>

namespace kronax {
namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(),
        [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
}

// COM<n> names by their number (COM2 before COM10), then any other name ignoring case.
bool InPortOrder(const std::string& a, const std::string& b) {
    const std::optional<unsigned> numberA = ComPortNumber(a);
    const std::optional<unsigned> numberB = ComPortNumber(b);
    if (numberA && numberB)
        return *numberA < *numberB;
    if (numberA || numberB)
        return numberA.has_value();
    return LessIgnoringCase(a, b);
}

} // namespace

void ListSerialPorts(std::vector<std::string>& list, ISerialPlatform& platform) {
    DeviceMapHandle map = 0;
    if (int error = platform.OpenDeviceMap(map))
        throw ESerialPort(CError_RegError, error);
    std::vector<std::string> names;
    const int error = ReadPortNames(platform, map, names);
    platform.CloseDeviceMap(map);
    if (error)
        throw ESerialPort(CError_RegError, error);
    std::stable_sort(names.begin(), names.end(), InPortOrder);
    list = std::move(names);
}

} // namespace kronax
