#include "tests/app/TestSupport.h"

#include "exchange/SteadyTickSource.h"

#include <cstdlib>
#include <filesystem>
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

FormEnvironment TestEnvironment(const std::string& settingsFileName,
                                std::shared_ptr<const ITickSource> ticks) {
    if (!ticks)
        ticks = std::make_shared<SteadyTickSource>();
    return {settingsFileName, std::move(ticks)};
}

} // namespace kronax::test
