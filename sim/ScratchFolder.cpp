#include "sim/ScratchFolder.h"

#include <atomic>
#include <filesystem>
#include <unistd.h>

namespace kronax::sim {

std::string NewScratchFolder(const std::string& prefix) {
    namespace fs = std::filesystem;
    static std::atomic<int> counter{0};
    const fs::path folder = fs::temp_directory_path() / (prefix + "-" + std::to_string(getpid()) +
                                                         "-" + std::to_string(++counter));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder.string();
}

} // namespace kronax::sim
