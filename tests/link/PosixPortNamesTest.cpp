#include "link/linux/LinuxPortNames.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <unistd.h>

namespace kronax {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnvironment;

// Without KRONAX_PORTS and a per-user link, a number names the kernel's device of its family.
TEST(PortNumbers, EachFamilyOfSerialDevicesHasItsHundredNumbers) {
    const fs::path empty =
        fs::temp_directory_path() / ("kronax-no-ports-" + std::to_string(getpid()));
    fs::create_directories(empty);
    ScopedEnvironment ports("KRONAX_PORTS", "");
    ScopedEnvironment config("XDG_CONFIG_HOME", empty.string());
    const struct {
        const char* port;
        std::optional<std::string> device;
    } cases[] = {
        {"COM1", "/dev/ttyS0"},      {"COM100", "/dev/ttyS99"},  {"COM101", "/dev/ttyUSB0"},
        {"COM200", "/dev/ttyUSB99"}, {"COM201", "/dev/ttyACM0"}, {"COM300", "/dev/ttyACM99"},
        {"COM301", std::nullopt},    {"COM0", std::nullopt},     {"ttyUSB0", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(posix::DevicePathOf(c.port), c.device) << c.port;

    // A per-user link takes the number from the kernel's device.
    fs::create_directories(empty / "kronax/ports");
    fs::create_symlink("/dev/null", empty / "kronax/ports/COM101");
    EXPECT_EQ(posix::DevicePathOf("COM101"), (empty / "kronax/ports/COM101").string());
    fs::remove_all(empty);
}

} // namespace
} // namespace kronax
