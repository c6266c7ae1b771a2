#pragma once

#include "config_file/IniFile.h"
#include "protocol/EntryStore.h"

#include <string>
#include <utility>

namespace kronax {

// An INI file as the configuration transfers and the remembered port use it.
class TIniEntryStore : public IEntryStore {
public:
    explicit TIniEntryStore(std::string fileName) : file_(std::move(fileName)) {}

    const TIniFile& File() const { return file_; }

    std::string ReadEntry(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const override {
        return file_.ReadEntry(section, key, defaultValue);
    }

    void WriteEntry(const std::string& section, const std::string& key,
                    const std::string& value) override {
        file_.WriteEntry(section, key, value);
    }

private:
    TIniFile file_;
};

} // namespace kronax
