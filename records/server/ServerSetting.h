#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kronax::records {

// Reads an environment variable: its value, or null when it is not set.
using ServerEnvironmentLookup = std::function<const char*(const char*)>;

// The records server a front end forwards to: KRONAX_RECORDS_SERVER when set and not empty,
// else the entry Server of the section [Records] in settingsFile; nothing when neither names
// one. Reads the file, raises nothing.
std::optional<std::string> RecordsServer(const ServerEnvironmentLookup& environment,
                                         const std::string& settingsFile);

} // namespace kronax::records
