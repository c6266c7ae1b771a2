#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace kronax {

// The file that keeps the record of the port named port, in a folder only the user can reach:
// on Linux $XDG_RUNTIME_DIR/kronax, or without it kronax-<uid> in the temporary folder, named
// after the device the port opens, or after the server's host and TCP port for a port on the
// network; on Windows %LOCALAPPDATA%\kronax, named after the port.
// Creates the folder when missing. Nothing when the port names no device or the folder is
// missing and cannot be made, or is not private. One implementation per platform.
std::optional<std::filesystem::path> PortRecordFile(const std::string& port);

} // namespace kronax
