#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kronax {

// Whole-file reads and updates that only ever touch regular files. A name is followed through
// symbolic links first; a folder, FIFO, device or socket at the end counts as no file at all, and
// nothing is opened in a way that could wait for a peer. Any thread.

// True when fileName names an existing regular file.
bool IsRegularFile(const std::string& fileName);

// The file's content, or nothing when it is missing, not a regular file or cannot be read.
std::optional<std::string> ReadRegularFile(const std::string& fileName);

// Gives the new content for the old one (empty for a file that does not exist yet).
using FileEdit = std::function<std::string(const std::string& oldContent)>;

// Replaces the content of fileName with edit(old content), creating the file when it is missing.
// The new content normally goes to a temporary file beside the target, which then takes the
// target's place with the target's mode and, where permitted, its owner; so a failure leaves the
// old file as it was. A symbolic link stays a link and its target (created when missing) is
// written. A file with more than one hard link, or a writable file in a folder where no
// temporary file can be created, is rewritten in place and flushed to disk instead, after its
// new size has been reserved. False, with nothing changed, when the name is not a regular file,
// the file is read-only or cannot be read, or the folder refuses the new file.
bool EditRegularFile(const std::string& fileName, const FileEdit& edit);

} // namespace kronax
