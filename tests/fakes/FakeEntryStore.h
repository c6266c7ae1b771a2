#pragma once

#include "protocol/EntryStore.h"

#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kronax::test {

// The contents of a configuration file as the fake store sees them, kept outside the store so
// that they outlive it and several stores can open the same "file".
struct FakeEntryFile {
    std::string name = "test.kxcfg";
    std::map<std::pair<std::string, std::string>, std::string> entries;
    std::vector<std::string> writtenKeys;
    // The number of the write (from 0) that fails like a read-only file; -1 for none.
    int failingWrite = -1;
    int openStores = 0;

    void Set(const std::string& key, const std::string& value) { entries[{"Kronax", key}] = value; }
};

class FakeEntryStore : public IEntryStore {
public:
    explicit FakeEntryStore(FakeEntryFile& file) : file_(file) { ++file_.openStores; }
    ~FakeEntryStore() override { --file_.openStores; }

    std::string ReadEntry(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const override {
        const auto entry = file_.entries.find({section, key});
        return entry == file_.entries.end() ? defaultValue : entry->second;
    }

    void WriteEntry(const std::string& section, const std::string& key,
                    const std::string& value) override {
        if (static_cast<int>(file_.writtenKeys.size()) == file_.failingWrite)
            throw std::runtime_error("Unable to write to " + file_.name);
        file_.entries[{section, key}] = value;
        file_.writtenKeys.push_back(section + "/" + key);
    }

private:
    FakeEntryFile& file_;
};

} // namespace kronax::test
