#include "records/FileDigest.h"
#include "records/RecordOrigin.h"
#include "records/RecordTime.h"

#include <gtest/gtest.h>

#include <regex>

namespace kronax::records {
namespace {

TEST(FileDigest, KnownDigests) {
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(RecordTime, UtcTextsAreReadAndWrittenAndImpossibleOnesRefused) {
    const struct {
        const char* text;
        std::optional<std::int64_t> ms;
    } cases[] = {
        {"1970-01-01", 0},
        {"2026-12-09", 1796774400000},
        {"2026-12-09 13:53", 1796824380000},
        {"2026-12-09T13:53:44Z", 1796824424000},
        {"2024-02-29", 1709164800000},
        {"2026-02-29", std::nullopt},
        {"2026-12-09 24:00", std::nullopt},
        {"09.12.2026", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, ms] : cases)
        EXPECT_EQ(ParseUtcTime(text), ms) << text;
    EXPECT_EQ(UtcTimeText(1796824424999), "2026-12-09 13:53:44");
}

TEST(RecordOrigin, IdsAreDistinctVersion4Uuids) {
    const std::regex uuid("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
    const std::string first = NewRecordId();
    EXPECT_TRUE(std::regex_match(first, uuid)) << first;
    EXPECT_NE(first, NewRecordId());
}

TEST(RecordOrigin, TheStationIsKronaxStationOrTheHostName) {
    EXPECT_EQ(StationName([](const char*) { return "line-3"; }), "line-3");
    EXPECT_FALSE(StationName([](const char*) { return ""; }).empty());
}

} // namespace
} // namespace kronax::records
