#pragma once

#include "config_file/EntryFile.h"
#include "config_file/IniFile.h"
#include "config_file/IniTextStore.h"

#include <string>
#include <utility>

namespace kronax {

// An INI file as the configuration transfers and the remembered port use it.
class IniEntryStore : public IEntryFile {
public:
    explicit IniEntryStore(std::string fileName) : file_(std::move(fileName)) {}

    const IniFile& File() const { return file_; }

    std::string ReadEntry(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const override {
        return file_.ReadEntry(section, key, defaultValue);
    }

    void WriteEntry(const std::string& section, const std::string& key,
                    const std::string& value) override {
        file_.WriteEntry(section, key, value);
    }

    void WriteEntries(const std::vector<IniEntry>& entries) override {
        file_.WriteEntries(entries);
    }

    FileSnapshot Snapshot() const override {
        std::string bytes = file_.Text();
        return {std::make_unique<IniTextStore>(bytes), std::move(bytes)};
    }

private:
    IniFile file_;
};

} // namespace kronax
