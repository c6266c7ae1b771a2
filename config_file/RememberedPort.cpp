#include "config_file/RememberedPort.h"

#include "protocol/IntegerText.h"

#include <filesystem>

namespace kronax {
namespace {

const std::string Section = "General";
const std::string Key = "ComPortNo";

} // namespace

std::string SettingsFileName(const std::string& programPath) {
    return std::filesystem::path(programPath).replace_extension(".ini").string();
}

std::int32_t ReadComPortNumber(const IEntryStore& settings) {
    return ReadInteger(settings.ReadEntry(Section, Key, "1")).value_or(1);
}

void WriteComPortNumber(IEntryStore& settings, std::int32_t number) {
    settings.WriteEntry(Section, Key, std::to_string(number));
}

} // namespace kronax
