#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kronax {

// Where the window keeps its settings file. Beside the program (SettingsFileName) only for a
// portable copy, one whose settings file is already there, and for a program in its build
// folder. Everywhere else the settings go to the user's own configuration folder, under the
// same file name and with the same content: an installed program's folder belongs to the
// package, even when the user (root) could write there.

// Reads an environment variable: its value, or null when it is not set.
using EnvironmentLookup = std::function<const char*(const char*)>;

// $XDG_CONFIG_HOME/kronax, or $HOME/.config/kronax when XDG_CONFIG_HOME is unset or empty;
// nothing when neither variable gives a folder.
std::optional<std::filesystem::path> PosixUserSettingsFolder(const EnvironmentLookup& environment);

// %APPDATA%\kronax; nothing when APPDATA is unset or empty.
std::optional<std::filesystem::path>
WindowsUserSettingsFolder(const EnvironmentLookup& environment);

// This platform's user settings folder, from the process environment.
std::optional<std::filesystem::path> UserSettingsFolder();

// Whether folder lies in a CMake build folder: a CMakeCache.txt in it or in a folder above it.
bool InBuildFolder(const std::filesystem::path& folder);

// The settings file of the program at programPath: beside it when it is already there, when the
// program is in its build folder or when no user folder is known, else in userFolder under the
// same name. Makes userFolder (and its parents) when it is chosen and missing; a failure there
// is left to the first write of the file to report.
std::string SettingsFilePath(const std::string& programPath,
                             const std::optional<std::filesystem::path>& userFolder);

} // namespace kronax
