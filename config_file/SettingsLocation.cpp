#include "config_file/SettingsLocation.h"

#include "config_file/RememberedPort.h"

#include <random>

namespace kronax {
namespace {

namespace fs = std::filesystem;

std::optional<fs::path> Variable(const EnvironmentLookup& environment, const char* name) {
    const char* value = environment(name);
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return fs::path(value);
}

// Random, so that a probe left behind by a killed program never stands in the way of the next.
fs::path ProbeName() {
    std::random_device random;
    return ".kronax-write-probe-" + std::to_string(random());
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

bool FolderWritable(const fs::path& folder) {
    const fs::path probe = folder / ProbeName();
    std::error_code error;
    if (!fs::create_directory(probe, error))
        return false;
    fs::remove(probe, error);
    return true;
}

std::string SettingsFilePath(const std::string& programPath,
                             const std::optional<fs::path>& userFolder) {
    const fs::path besideProgram = SettingsFileName(programPath);
    if (!userFolder || FolderWritable(besideProgram.parent_path()))
        return besideProgram.string();
    std::error_code error;
    fs::create_directories(*userFolder, error);
    return (*userFolder / besideProgram.filename()).string();
}

} // namespace kronax
