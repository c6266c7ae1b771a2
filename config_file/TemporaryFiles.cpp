#include "config_file/TemporaryFiles.h"

#include <atomic>
#include <mutex>
#include <set>

namespace kronax {
namespace fs = std::filesystem;

namespace {

struct InUse {
    std::mutex mutex;
    std::set<fs::path> names;
};

InUse& NamesInUse() {
    static InUse inUse;
    return inUse;
}

bool IsInUse(const fs::path& path) {
    InUse& inUse = NamesInUse();
    const std::lock_guard<std::mutex> lock(inUse.mutex);
    return inUse.names.count(path) != 0;
}

std::optional<unsigned long> DigitsAt(std::string_view text, std::size_t& pos) {
    const std::size_t start = pos;
    unsigned long value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && pos - start < 10)
        value = value * 10 + static_cast<unsigned long>(text[pos++] - '0');
    if (pos == start)
        return std::nullopt;
    return value;
}

bool IsStale(const fs::path& path, unsigned long owner) {
    if (owner == CurrentProcessId())
        return !IsInUse(path);
    return !ProcessRuns(owner);
}

} // namespace

TemporaryName::TemporaryName(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    path_ = target;
    path_ += ".tmp" + std::to_string(CurrentProcessId()) + "-" + std::to_string(++counter);
    InUse& inUse = NamesInUse();
    const std::lock_guard<std::mutex> lock(inUse.mutex);
    inUse.names.insert(path_);
}

TemporaryName::~TemporaryName() {
    InUse& inUse = NamesInUse();
    const std::lock_guard<std::mutex> lock(inUse.mutex);
    inUse.names.erase(path_);
}

std::optional<unsigned long> TemporaryOwner(std::string_view entryName,
                                            std::string_view targetName) {
    const std::string_view marker = ".tmp";
    if (entryName.size() <= targetName.size() + marker.size() ||
        entryName.substr(0, targetName.size()) != targetName ||
        entryName.substr(targetName.size(), marker.size()) != marker)
        return std::nullopt;
    std::size_t pos = targetName.size() + marker.size();
    const std::optional<unsigned long> owner = DigitsAt(entryName, pos);
    if (!owner || pos >= entryName.size() || entryName[pos] != '-')
        return std::nullopt;
    ++pos;
    if (!DigitsAt(entryName, pos) || pos != entryName.size())
        return std::nullopt;
    return owner;
}

void RemoveStaleTemporaries(const fs::path& target) {
    const std::string targetName = target.filename().string();
    std::error_code error;
    fs::directory_iterator entries(
        target.parent_path().empty() ? fs::path(".") : target.parent_path(), error);
    if (error)
        return;
    for (const fs::directory_entry& entry : entries) {
        const std::optional<unsigned long> owner =
            TemporaryOwner(entry.path().filename().string(), targetName);
        const fs::path path = target.parent_path() / entry.path().filename();
        if (owner && entry.is_regular_file(error) && IsStale(path, *owner))
            fs::remove(entry.path(), error);
    }
}

} // namespace kronax
