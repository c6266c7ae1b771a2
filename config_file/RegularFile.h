#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <system_error>

namespace kronax {

// Whole-file reads and updates that only ever touch regular files. A name is followed through
// symbolic links first; a folder, FIFO, device or socket at the end counts as no file at all, and
// nothing is opened in a way that could wait for a peer. Any thread.

// The largest file read or updated: far beyond any configuration or settings file. A larger one
// is refused with FileError::TooLarge before it is read, and never rewritten.
inline constexpr std::size_t MaxFileBytes = std::size_t{1} << 20;

// True when fileName names an existing regular file.
bool IsRegularFile(const std::string& fileName);

// The file's content, or nothing when it is missing, not a regular file, larger than
// MaxFileBytes or cannot be read; then reason, when given, tells why.
std::optional<std::string> ReadRegularFile(const std::string& fileName,
                                           std::error_code* reason = nullptr);

// Creates fileName as a new empty file, failing with std::errc::file_exists when anything of
// that name is there already, so that two writers can never both take it.
std::error_code CreateNewFile(const std::string& fileName);

// Gives the new content for the old one (empty for a file that does not exist yet).
using FileEdit = std::function<std::string(const std::string& oldContent)>;

// Replaces the content of fileName with edit(old content), creating the file when it is missing.
// The new content normally goes to a temporary file beside the target, which then takes the
// target's place with the target's mode and, where permitted, its owner; so a failure leaves the
// old file as it was. A symbolic link stays a link and its target (created when missing) is
// written. A file with more than one hard link, or a writable file in a folder where no
// temporary file can be created, is rewritten in place and flushed to disk instead, after its
// new size has been reserved: the new content, padded with line ends to at least the old size,
// goes in with one write before the file is cut to its new size, so that a process stopped at
// any point leaves the old content or the new one (a power cut in the middle of that one write
// may still leave a mixture). After a successful update, temporary files beside the target left
// by writers that stopped before renaming them are removed. Returns no error on success, or the
// reason (the system's, or a FileError) with nothing changed when the name is not a regular
// file, the file is read-only, larger than MaxFileBytes or cannot be read, or the folder or disk
// refuses the new content.
std::error_code EditRegularFile(const std::string& fileName, const FileEdit& edit);

} // namespace kronax
