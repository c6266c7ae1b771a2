#include "config_file/RecentFiles.h"

#include <algorithm>

namespace kronax {
namespace {

const std::string Section = "Recent Files";

std::string Key(std::size_t index) {
    return "File" + std::to_string(index + 1);
}

} // namespace

std::vector<std::string> ReadRecentFiles(const IEntryStore& settings) {
    std::vector<std::string> files;
    for (std::size_t i = 0; i < RecentFileCount; ++i)
        if (std::string file = settings.ReadEntry(Section, Key(i), ""); !file.empty())
            files.push_back(std::move(file));
    return files;
}

void WriteRecentFiles(IEntryStore& settings, const std::vector<std::string>& files) {
    for (std::size_t i = 0; i < RecentFileCount; ++i)
        settings.WriteEntry(Section, Key(i), i < files.size() ? files[i] : "");
}

std::vector<std::string> WithRecentFile(std::vector<std::string> files,
                                        const std::string& fileName) {
    files.erase(std::remove(files.begin(), files.end(), fileName), files.end());
    files.insert(files.begin(), fileName);
    if (files.size() > RecentFileCount)
        files.resize(RecentFileCount);
    return files;
}

} // namespace kronax
