#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace kronax::test {

// "kronax-<process>-<count>-<name>": a name in the shared temporary folder that no other test,
// in this run or in another one at the same time, uses.
inline std::string UniqueTempName(const std::string& name) {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const int process = _getpid();
#else
    const int process = getpid();
#endif
    return "kronax-" + std::to_string(process) + "-" + std::to_string(++counter) + "-" + name;
}

// A file under a UniqueTempName, removed before and after.
class ScopedTempFile {
public:
    explicit ScopedTempFile(const std::string& name)
        : path_(::testing::TempDir() + UniqueTempName(name)) {
        std::filesystem::remove(path_);
    }
    ScopedTempFile(const ScopedTempFile&) = delete;
    ScopedTempFile& operator=(const ScopedTempFile&) = delete;
    ~ScopedTempFile() {
        std::error_code error;
        std::filesystem::remove(path_, error);
    }

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace kronax::test
