#include "exchange/VisibleLineEnds.h"

#include <gtest/gtest.h>

namespace kronax {
namespace {

TEST(VisibleControls, NoControlCharacterOfABoardOrStationTextReachesTheDisplayAsItIs) {
    const std::pair<std::string, std::string> cases[] = {
        {"line-2", "line-2"},
        {"\x1b[2J", "\\x1B[2J"},
        {"a\rb\nc\td", "a\\rb\\nc\\td"},
        {std::string("\0\x7f", 2), "\\x00\\x7F"},
        {"\x9b"
         "2J",
         "\\x9B2J"},                              // the one-byte CSI
        {"5 \xb5s \xa0\xff", "5 \xb5s \xa0\xff"}, // printable 8-bit text stays
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(WithVisibleControls(text), shown) << shown;
}

} // namespace
} // namespace kronax
