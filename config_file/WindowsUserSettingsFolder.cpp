#include "config_file/SettingsLocation.h"

#include <cstdlib>

namespace kronax {

std::optional<std::filesystem::path> UserSettingsFolder() {
    return WindowsUserSettingsFolder([](const char* name) { return std::getenv(name); });
}

} // namespace kronax
