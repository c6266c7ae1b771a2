#include "sim/LineAssembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kronax::sim {
namespace {

using Lines = std::vector<std::string>;

Lines Feed(LineAssembler& lines, const std::string& bytes) {
    return lines.Take(bytes.data(), bytes.size());
}

TEST(LineAssembler, LinesEndWithCrAcrossReadsWithoutLfOrEmptyLines) {
    LineAssembler lines;
    EXPECT_EQ(Feed(lines, "??SM"), Lines{});
    EXPECT_EQ(Feed(lines, "SEN\r\n\r##SMSTA\r??"), (Lines{"??SMSEN", "##SMSTA"}));
    EXPECT_EQ(Feed(lines, "SM\nSTA\r"), Lines{"??SMSTA"});
}

TEST(LineAssembler, FloodWithoutCrKeepsOneBufferfulAndTheNextLineIsWhole) {
    LineAssembler lines;
    const std::string chunk(64 * 1024, 'x');
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(Feed(lines, chunk), Lines{});
    EXPECT_EQ(lines.Pending(), LineAssembler::Capacity);
    EXPECT_EQ(Feed(lines, "\r??SMCDM\r"),
              (Lines{std::string(LineAssembler::Capacity, 'x'), "??SMCDM"}));
    EXPECT_EQ(lines.Pending(), 0u);
}

} // namespace
} // namespace kronax::sim
