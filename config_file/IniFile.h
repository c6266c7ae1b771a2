#pragma once

#include "config_file/IniText.h"

#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace kronax {

// Raised when entries cannot be written; the file is then as it was before (short of an I/O
// error in the middle of rewriting a file in place). The message is "Unable to write to <file
// name>"; Reason() tells why.
class EIniWrite : public std::runtime_error {
public:
    EIniWrite(const std::string& fileName, std::error_code reason);

    const std::error_code& Reason() const { return reason_; }

private:
    std::error_code reason_;
};

// Raised when a file to be read whole is refused: "<file name>: <reason>".
class EIniRead : public std::runtime_error {
public:
    EIniRead(const std::string& fileName, std::error_code reason);
};

// An INI file named on creation, read and written entry by entry. Creating the object neither
// reads nor changes the file; every call works on the file as it is at that moment.
class IniFile {
public:
    explicit IniFile(std::string fileName);

    const std::string& FileName() const { return fileName_; }

    // The entry's value, or defaultValue without its trailing blanks when the file, section or
    // key is missing or the file cannot be read; a name that is not a regular file (a FIFO or a
    // device, also behind a link) counts as missing and is never read. Any thread; never raises
    // for a missing file.
    std::string ReadEntry(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const;

    // The whole text in one read, as ReadEntry sees it: empty when the file is missing or cannot
    // be read. Raises EIniRead when the file is larger than MaxFileBytes. Any thread.
    std::string Text() const;

    // Sets the entry, creating the file when it is missing, as EditRegularFile does: replaced
    // through a temporary file beside it where possible, through symbolic links, keeping mode,
    // owner and hard links. Raises EIniWrite "Unable to write to <file name>" when the folder is
    // missing or refuses the file, the name is not a regular file, the file is read-only or
    // cannot be read or written, or the entry would not read back as written.
    void WriteEntry(const std::string& section, const std::string& key, const std::string& value);

    // Sets every entry, in order, in one update of the file: a failure or a crash at any point
    // leaves the file as it was or with all of them. Raises as WriteEntry does, writing nothing
    // when any entry would not read back as written.
    void WriteEntries(const std::vector<IniEntry>& entries);

private:
    std::string fileName_;
};

} // namespace kronax
