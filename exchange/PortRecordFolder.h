#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace kronax {

// The file that keeps the record of the port named port, in a folder only the user can reach:
// on Linux $XDG_RUNTIME_DIR/kronax, or without it kronax-<uid> in the temporary folder, named
// after the device the port opens, or after the server's address and TCP port for a port on the
// network; on Windows %LOCALAPPDATA%\kronax, named after the port.
// Creates the folder when missing. Nothing when the port names no device or the folder is
// missing and cannot be made, or is not private. One implementation per platform.
std::optional<std::filesystem::path> PortRecordFile(const std::string& port);

// The most of a record file that is ever read: far beyond any record. A longer file is not a
// record; it is emptied when opened.
inline constexpr std::size_t MaxRecordFileBytes = 4096;

// A record file held open for one opening of its port.
class IRecordFile {
public:
    virtual ~IRecordFile() = default;
    // The file's text, at most MaxRecordFileBytes of it; empty when it cannot be read.
    virtual std::string Text() = 0;
    // Writes text over the file's beginning.
    virtual void Put(const std::string& text) = 0;
};

// The record file of the port named port, made when missing; nothing when the port has none
// (see PortRecordFile) or what is there is not a plain file (a link, a FIFO, a device: neither
// followed nor waited for). One implementation per platform.
std::unique_ptr<IRecordFile> OpenRecordFile(const std::string& port);

} // namespace kronax
