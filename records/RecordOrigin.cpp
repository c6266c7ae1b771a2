#include "records/RecordOrigin.h"

#include <array>
#include <chrono>
#include <pwd.h>
#include <random>
#include <unistd.h>

namespace kronax::records {

std::string NewRecordId() {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    std::array<unsigned char, 16> bytes;
    for (unsigned char& byte : bytes)
        byte = static_cast<unsigned char>(generator() & 0xFF);
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    constexpr const char* Digits = "0123456789abcdef";
    std::string id;
    for (std::size_t index = 0; index < bytes.size(); ++index) {
        if (index == 4 || index == 6 || index == 8 || index == 10)
            id += '-';
        id += Digits[bytes[index] >> 4];
        id += Digits[bytes[index] & 0x0F];
    }
    return id;
}

std::int64_t NowUtcMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string StationName(const EnvironmentLookup& environment) {
    if (const char* station = environment("KRONAX_STATION"); station && *station)
        return station;
    std::array<char, 256> host{};
    if (gethostname(host.data(), host.size() - 1) != 0)
        return "";
    return host.data();
}

std::string UserName() {
    if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_name)
        return entry->pw_name;
    return std::to_string(geteuid());
}

BoardRecord CompletedRecord(const BoardRecord& running, BoardRecord outcome) {
    outcome.id = running.id;
    outcome.startedMs = running.startedMs;
    outcome.endedMs = NowUtcMs();
    outcome.station = running.station;
    outcome.user = running.user;
    outcome.program = running.program;
    outcome.version = running.version;
    outcome.operation = running.operation;
    outcome.port = running.port;
    return outcome;
}

} // namespace kronax::records
