#include "records/server/ServerSetting.h"

#include "config_file/IniFile.h"

namespace kronax::records {

std::optional<std::string> RecordsServer(const ServerEnvironmentLookup& environment,
                                         const std::string& settingsFile) {
    const char* variable = environment("KRONAX_RECORDS_SERVER");
    if (variable && *variable)
        return variable;
    const std::string entry = IniFile(settingsFile).ReadEntry("Records", "Server", "");
    if (entry.empty())
        return std::nullopt;
    return entry;
}

} // namespace kronax::records
