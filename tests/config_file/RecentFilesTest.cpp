#include "config_file/RecentFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kronax {
namespace {

using Files = std::vector<std::string>;

TEST(RecentFilesTest, NewestFirstWithoutRepeatsAndAtMostFive) {
    const struct {
        Files before;
        std::string file;
        Files expected;
    } cases[] = {
        {{}, "a", {"a"}},
        {{"a", "b"}, "b", {"b", "a"}},
        {{"a", "b", "c", "d", "e"}, "f", {"f", "a", "b", "c", "d"}},
        {{"a", "b", "c", "d", "e"}, "e", {"e", "a", "b", "c", "d"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithRecentFile(c.before, c.file), c.expected) << c.file;
}

} // namespace
} // namespace kronax
