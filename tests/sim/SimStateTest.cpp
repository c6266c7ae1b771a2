#include "sim/SimState.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace kronax::sim {
namespace {
namespace fs = std::filesystem;

TEST(SimState, SavedStateLoadsBackAndBadEntriesFallBackToStartValues) {
    const fs::path folder =
        fs::temp_directory_path() / ("kronax-state-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::string file = (folder / "state.kxcfg").string();

    EXPECT_EQ(LoadState(file), StartPayloads()) << "missing file";
    Payloads changed = StartPayloads();
    changed[0] = "0202000000FF";
    changed[5] = "00123";
    ASSERT_TRUE(SaveState(file, changed));
    EXPECT_EQ(LoadState(file), changed);

    std::ofstream(file, std::ios::binary) << "[Kronax]\r\nSEN=0202\r\nCDM=00G1\r\nABV=0A0B\r\n";
    Payloads expected = StartPayloads();
    expected[2] = "0A0B";
    EXPECT_EQ(LoadState(file), expected);

    EXPECT_FALSE(SaveState((folder / "absent" / "state.kxcfg").string(), changed));
    fs::remove_all(folder);
}

} // namespace
} // namespace kronax::sim
