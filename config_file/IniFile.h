#pragma once

#include <stdexcept>
#include <string>

namespace kronax {

// Raised when an entry cannot be written; the file is then as it was before.
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
    // key is missing or the file cannot be read. Any thread; never raises for a missing file.
    std::string ReadEntry(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const;

    // Sets the entry, creating the file when it is missing. The new content goes to a temporary
    // file beside the target, which then replaces it, so the file is never left half-written.
    // Raises EIniWrite "Unable to write to <file name>" when the folder is missing, the file is
    // read-only or cannot be read or replaced, or the entry would not read back as written.
    void WriteEntry(const std::string& section, const std::string& key, const std::string& value);

private:
    std::string fileName_;
};

} // namespace kronax
