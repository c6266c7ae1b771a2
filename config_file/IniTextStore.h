#pragma once

#include "config_file/IniText.h"
#include "protocol/EntryStore.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace kronax {

// INI text held in memory, read and edited entry by entry as a file would be; lets several
// entries change in one update of the file.
class IniTextStore : public IEntryStore {
public:
    explicit IniTextStore(std::string text) : text_(std::move(text)) {}

    const std::string& Text() const { return text_; }

    std::string ReadEntry(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const override {
        return FindIniValue(text_, section, key).value_or(defaultValue);
    }

    // Raises std::invalid_argument for an entry that would not read back as written.
    void WriteEntry(const std::string& section, const std::string& key,
                    const std::string& value) override {
        if (!IsWritableIniEntry(section, key, value))
            throw std::invalid_argument("entry cannot be written: " + section + "/" + key);
        text_ = WithIniEntry(text_, section, key, value);
    }

private:
    std::string text_;
};

} // namespace kronax
