#include "exchange/PortRecordFolder.h"
#include "link/PortName.h"

#include <cstdlib>

namespace kronax {

// The local application data folder belongs to the user alone. The name must not begin with the
// port's: Windows takes "COM1.pending", like any "COM1" followed by an extension, for the device.
std::optional<std::filesystem::path> PortRecordFile(const std::string& port) {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (!ComPortNumber(port) || local == nullptr || *local == L'\0')
        return std::nullopt;
    const std::filesystem::path folder = std::filesystem::path(local) / "kronax";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return std::nullopt;
    return folder / ("port-" + port + ".pending");
}

} // namespace kronax
