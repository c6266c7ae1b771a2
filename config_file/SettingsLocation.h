#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kronax {

// Where the window keeps its settings file. Beside the program (SettingsFileName) when the
// program's folder is writable: a build folder or a portable copy. An installed program sits in
// a folder its users cannot write, so its settings go to the user's own configuration folder
// instead, under the same file name and with the same content.

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

// Whether a new entry can be made in folder: tried by making and removing a probe folder there,
// since permission bits tell nothing about Windows access lists or a read-only mount.
bool FolderWritable(const std::filesystem::path& folder);

// The settings file of the program at programPath: beside it when its folder is writable or no
// user folder is known, else in userFolder under the same name. Makes userFolder (and its
// parents) when it is chosen and missing; a failure there is left to the first write of the
// file to report.
std::string SettingsFilePath(const std::string& programPath,
                             const std::optional<std::filesystem::path>& userFolder);

} // namespace kronax
