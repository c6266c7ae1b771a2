#pragma once

#include <stdexcept>
#include <string>

namespace kronax {

// Raised when an entry cannot be written; the file is then as it was before (short of an I/O
// error in the middle of rewriting a file in place).
class EIniWrite : public std::runtime_error {
public:
    explicit EIniWrite(const std::string& fileName);
};

// An INI file named on creation, read and written entry by entry. Creating the object neither
// reads nor changes the file; every call works on the file as it is at that moment.
class TIniFile {
public:
    explicit TIniFile(std::string fileName);

    const std::string& FileName() const { return fileName_; }

    // The entry's value, or defaultValue without its trailing blanks when the file, section or
    // key is missing or the file cannot be read; a name that is not a regular file (a FIFO or a
    // device, also behind a link) counts as missing and is never read. Any thread; never raises
    // for a missing file.
    std::string ReadEntry(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const;

    // Sets the entry, creating the file when it is missing, as EditRegularFile does: replaced
    // through a temporary file beside it where possible, through symbolic links, keeping mode,
    // owner and hard links. Raises EIniWrite "Unable to write to <file name>" when the folder is
    // missing or refuses the file, the name is not a regular file, the file is read-only or
    // cannot be read or written, or the entry would not read back as written.
    void WriteEntry(const std::string& section, const std::string& key, const std::string& value);

private:
    std::string fileName_;
};

} // namespace kronax
