#include "protocol/IntegerText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kronax {
namespace {

struct Case {
    std::string text;
    std::optional<std::int32_t> expected;
};

void ExpectAll(const std::initializer_list<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(ReadInteger(c.text), c.expected) << "text: \"" << c.text << "\"";
}

TEST(ReadInteger, AcceptsDecimalWithLeadingBlanksAndOneSign) {
    ExpectAll(
        {{"0", 0}, {"12", 12}, {"   12", 12}, {"+12", 12}, {"-12", -12}, {"007", 7}, {" -0", 0}});
}

TEST(ReadInteger, RejectsBlanksAfterDigitsAndJunk) {
    ExpectAll({{"", std::nullopt},
               {"   ", std::nullopt},
               {"12 ", std::nullopt},
               {"1 2", std::nullopt},
               {"12a", std::nullopt},
               {"- 1", std::nullopt},
               {"+-1", std::nullopt},
               {"--1", std::nullopt},
               {"1.0", std::nullopt},
               {"\t1", std::nullopt},
               {"+", std::nullopt}});
}

TEST(ReadInteger, AcceptsEveryHexadecimalPrefixInEitherCase) {
    ExpectAll({{"$7F", 127},
               {"x7f", 127},
               {"X7F", 127},
               {"0x7F", 127},
               {"0X7f", 127},
               {"-$10", -16},
               {" +0x10", 16},
               {"$000000001", 1}});
}

TEST(ReadInteger, RejectsPrefixWithoutDigitsOrWithBadDigits) {
    ExpectAll({{"$", std::nullopt},
               {"0x", std::nullopt},
               {"x", std::nullopt},
               {"$G", std::nullopt},
               {"0x1 ", std::nullopt},
               {"00x10", std::nullopt},
               {"$$1", std::nullopt},
               {"1x10", std::nullopt}});
}

TEST(ReadInteger, DecimalMustFitSigned32Bits) {
    ExpectAll({{"2147483647", 2147483647},
               {"2147483648", std::nullopt},
               {"-2147483648", INT32_MIN},
               {"-2147483649", std::nullopt},
               {"99999999999999999999", std::nullopt}});
}

TEST(ReadInteger, HexadecimalUsesAll32BitsAsTwosComplement) {
    ExpectAll({{"$7FFFFFFF", 2147483647},
               {"$80000000", INT32_MIN},
               {"$FFFFFFFF", -1},
               {"-$FFFFFFFF", 1},
               {"-$80000000", INT32_MIN},
               {"$100000000", std::nullopt},
               {"0x1FFFFFFFF", std::nullopt}});
}

} // namespace
} // namespace kronax
