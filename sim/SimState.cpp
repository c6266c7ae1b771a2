#include "sim/SimState.h"

#include "config_file/IniFile.h"

namespace kronax::sim {
namespace {

constexpr const char* Section = "Kronax";

} // namespace

Payloads LoadState(const std::string& file) {
    Payloads payloads = StartPayloads();
    const IniFile ini(file);
    for (std::size_t i = 0; i < PayloadCount; ++i) {
        const std::string value = ini.ReadEntry(Section, PayloadKinds[i], "");
        if (IsValidPayload(i, value))
            payloads[i] = value;
    }
    return payloads;
}

bool SaveState(const std::string& file, const Payloads& payloads) {
    IniFile ini(file);
    try {
        for (std::size_t i = 0; i < PayloadCount; ++i)
            ini.WriteEntry(Section, PayloadKinds[i], payloads[i]);
    } catch (const EIniWrite&) {
        return false;
    }
    return true;
}

} // namespace kronax::sim
