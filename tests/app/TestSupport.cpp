#include "tests/app/TestSupport.h"

#include "exchange/SteadyTickSource.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <unistd.h>

namespace kronax::test {
namespace fs = std::filesystem;

std::string SuiteFolder() {
    static const std::string folder =
        (fs::temp_directory_path() / ("kronax-app-tests-" + std::to_string(getpid()))).string();
    return folder;
}

std::string EmptyPortsFolder() {
    return SuiteFolder() + "/no-ports";
}

std::string NewFolder() {
    static int counter = 0;
    const std::string folder = SuiteFolder() + "/case-" + std::to_string(++counter);
    fs::create_directories(folder);
    return folder;
}

std::uint32_t OffsetTicks::TickCount() const {
    return SteadyTickSource().TickCount() + offset_.load();
}

void OffsetTicks::Set(std::uint32_t now) {
    offset_ = now - SteadyTickSource().TickCount();
}

bool WaitForFileText(const std::string& path, const std::string& text, std::size_t count,
                     int boundMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (std::chrono::steady_clock::now() < end) {
        std::ifstream file(path, std::ios::binary);
        const std::string content(std::istreambuf_iterator<char>(file), {});
        std::size_t found = 0;
        for (auto at = content.find(text); at != std::string::npos; at = content.find(text, at + 1))
            ++found;
        if (found >= count)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

FormEnvironment TestEnvironment(const std::string& settingsFileName,
                                std::shared_ptr<const ITickSource> ticks) {
    if (!ticks)
        ticks = std::make_shared<SteadyTickSource>();
    return {settingsFileName, std::move(ticks)};
}

} // namespace kronax::test
