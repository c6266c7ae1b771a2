#include "config_file/SettingsLocation.h"

#include "config_file/RememberedPort.h"

namespace kronax {
namespace {

namespace fs = std::filesystem;

std::optional<fs::path> Variable(const EnvironmentLookup& environment, const char* name) {
    const char* value = environment(name);
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return fs::path(value);
}

} // namespace

std::optional<fs::path> PosixUserSettingsFolder(const EnvironmentLookup& environment) {
    if (auto config = Variable(environment, "XDG_CONFIG_HOME"))
        return *config / "kronax";
    if (auto home = Variable(environment, "HOME"))
        return *home / ".config" / "kronax";
    return std::nullopt;
}

std::optional<fs::path> WindowsUserSettingsFolder(const EnvironmentLookup& environment) {
    if (auto appData = Variable(environment, "APPDATA"))
        return *appData / "kronax";
    return std::nullopt;
}

bool InBuildFolder(const fs::path& folder) {
    std::error_code error;
    for (fs::path at = folder; !at.empty(); at = at.parent_path()) {
        if (fs::exists(at / "CMakeCache.txt", error))
            return true;
        if (at == at.parent_path())
            break;
    }
    return false;
}

std::string SettingsFilePath(const std::string& programPath,
                             const std::optional<fs::path>& userFolder) {
    const fs::path besideProgram = SettingsFileName(programPath);
    std::error_code error;
    if (!userFolder || fs::exists(besideProgram, error) ||
        InBuildFolder(besideProgram.parent_path()))
        return besideProgram.string();
    fs::create_directories(*userFolder, error);
    return (*userFolder / besideProgram.filename()).string();
}

} // namespace kronax
