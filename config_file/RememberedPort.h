#pragma once

#include "protocol/EntryStore.h"

#include <cstdint>
#include <string>

namespace kronax {

// The settings file that remembers the last chosen COM port: beside the program, named like it
// with the extension ".ini", section "General", key "ComPortNo".

// programPath with its extension replaced by ".ini" (or ".ini" added when it has none).
std::string SettingsFileName(const std::string& programPath);

// The remembered port number; 1 when the file, section or key is missing or the value is not a
// number. Raises nothing for an unreadable file.
std::int32_t ReadComPortNumber(const IEntryStore& settings);

// Writes number in decimal. Raises the store's error ("Unable to write to ...").
void WriteComPortNumber(IEntryStore& settings, std::int32_t number);

} // namespace kronax
