#include "link/PortRecordFolder.h"

namespace kronax {

// No records on Windows yet: with one in the local application data folder, the first exchange
// after opening a port waited without end under Wine. Until that is understood the guard holds
// within a run only there.
std::optional<std::filesystem::path> PortRecordFile(const std::string&) {
    return std::nullopt;
}

} // namespace kronax
