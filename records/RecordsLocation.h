#pragma once

#include <filesystem>
#include <functional>
#include <optional>

namespace kronax::records {

// Where the record store lives. Pure but for PrepareRecordsFile.

// Reads an environment variable: its value, or null when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// KRONAX_RECORDS when set and not empty; else $XDG_DATA_HOME/kronax/records.sqlite3, with
// $HOME/.local/share when XDG_DATA_HOME is unset or empty; nothing when no folder is known.
std::optional<std::filesystem::path> PosixRecordsFile(const EnvironmentLookup& environment);

// KRONAX_RECORDS when set and not empty; else %LOCALAPPDATA%\kronax\records.sqlite3.
std::optional<std::filesystem::path> WindowsRecordsFile(const EnvironmentLookup& environment);

// This platform's store file, from the process environment.
std::optional<std::filesystem::path> RecordsFile();

// Makes the store's folder (mode 0700) and the file itself (mode 0600) when they are missing,
// so that records are the user's alone from the first byte; leaves existing ones as they are.
// Raises ERecordStore (Unopenable) when either cannot be made.
void PrepareRecordsFile(const std::filesystem::path& file);

} // namespace kronax::records
