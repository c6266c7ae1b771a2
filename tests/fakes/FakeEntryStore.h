#pragma once

#include "config_file/EntryFile.h"

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
    // The updates of several entries at once, by size.
    std::vector<std::size_t> batches;
    int openStores = 0;
    int snapshots = 0;

    void Set(const std::string& key, const std::string& value) { entries[{"Kronax", key}] = value; }
};

class FakeEntryStore : public IEntryFile {
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

    // All or none, as a real file.
    void WriteEntries(const std::vector<IniEntry>& entries) override {
        const std::size_t before = file_.writtenKeys.size();
        if (file_.failingWrite >= 0 && before <= static_cast<std::size_t>(file_.failingWrite) &&
            static_cast<std::size_t>(file_.failingWrite) < before + entries.size())
            throw std::runtime_error("Unable to write to " + file_.name);
        for (const IniEntry& entry : entries)
            WriteEntry(entry.section, entry.key, entry.value);
        file_.batches.push_back(entries.size());
    }

    FileSnapshot Snapshot() const override {
        ++file_.snapshots;
        return {std::make_unique<Frozen>(file_.entries), {}};
    }

private:
    // The entries as they were.
    class Frozen : public IEntryStore {
    public:
        explicit Frozen(std::map<std::pair<std::string, std::string>, std::string> entries)
            : entries_(std::move(entries)) {}
        std::string ReadEntry(const std::string& section, const std::string& key,
                              const std::string& defaultValue) const override {
            const auto entry = entries_.find({section, key});
            return entry == entries_.end() ? defaultValue : entry->second;
        }
        void WriteEntry(const std::string&, const std::string&, const std::string&) override {
            throw std::logic_error("a snapshot is read only");
        }

    private:
        std::map<std::pair<std::string, std::string>, std::string> entries_;
    };

    FakeEntryFile& file_;
};

} // namespace kronax::test
