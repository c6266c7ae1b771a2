#include "records/RecordTime.h"

#include <chrono>
#include <cstdio>
#include <regex>

namespace kronax::records {

std::string UtcTimeText(std::int64_t ms) {
    using namespace std::chrono;
    const sys_seconds seconds =
        floor<std::chrono::seconds>(sys_time<milliseconds>(milliseconds(ms)));
    const sys_days day = floor<days>(seconds);
    const year_month_day date(day);
    const hh_mm_ss time(seconds - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

std::optional<std::int64_t> ParseUtcTime(const std::string& text) {
    static const std::regex form(
        R"((\d{4})-(\d{2})-(\d{2})(?:[T ](\d{2}):(\d{2})(?::(\d{2}))?)?Z?)");
    std::smatch match;
    if (!std::regex_match(text, match, form))
        return std::nullopt;
    const auto number = [&match](std::size_t group) {
        return match[group].matched ? std::stoi(match[group].str()) : 0;
    };
    using namespace std::chrono;
    const year_month_day date{year(number(1)), month(static_cast<unsigned>(number(2))),
                              day(static_cast<unsigned>(number(3)))};
    if (!date.ok() || number(4) > 23 || number(5) > 59 || number(6) > 59)
        return std::nullopt;
    const auto time = sys_days(date) + hours(number(4)) + minutes(number(5)) + seconds(number(6));
    return duration_cast<milliseconds>(time.time_since_epoch()).count();
}

} // namespace kronax::records
