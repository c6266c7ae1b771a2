#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kronax::records {

// Times of records as people write them, always in UTC. Pure.

// "2026-12-09 13:53:44" for ms since 1970-01-01 UTC.
std::string UtcTimeText(std::int64_t ms);

// "2026-12-09", "2026-12-09 13:53", "2026-12-09T13:53:44" or the same with a trailing "Z", read
// as UTC: its ms since 1970-01-01; nothing for any other text or an impossible date.
std::optional<std::int64_t> ParseUtcTime(const std::string& text);

} // namespace kronax::records
