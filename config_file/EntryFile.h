#pragma once

#include "config_file/IniText.h"
#include "protocol/EntryStore.h"

#include <memory>
#include <string>
#include <vector>

namespace kronax {

// One read of a file: its bytes, and its entries as those bytes hold them.
struct FileSnapshot {
    std::unique_ptr<IEntryStore> entries;
    std::string bytes;
};

// A configuration file that also takes several entries in one update.
class IEntryFile : public IEntryStore {
public:
    // Sets every entry in order, all or none: a failure or a crash leaves the file as it was or
    // with all of them. Raises as WriteEntry does.
    virtual void WriteEntries(const std::vector<IniEntry>& entries) = 0;

    // The file's bytes and entries as one read of it finds them, for a flow that must see one
    // version of the file whatever replaces it meanwhile. Raises EIniRead for a file too large to
    // be one.
    virtual FileSnapshot Snapshot() const = 0;
};

// Collects the entries written to it, in order, for one later update of file; reads see them
// over the file's own.
class EntryBatch : public IEntryStore {
public:
    explicit EntryBatch(const IEntryStore& file) : file_(file) {}

    const std::vector<IniEntry>& Entries() const { return entries_; }

    std::string ReadEntry(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const override {
        for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry)
            if (entry->section == section && entry->key == key)
                return entry->value;
        return file_.ReadEntry(section, key, defaultValue);
    }

    void WriteEntry(const std::string& section, const std::string& key,
                    const std::string& value) override {
        entries_.push_back({section, key, value});
    }

private:
    const IEntryStore& file_;
    std::vector<IniEntry> entries_;
};

} // namespace kronax
