#include "protocol/BoardReplies.h"

#include <algorithm>
#include <cstddef>

namespace kronax {
namespace {

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

std::string AcknowledgeText(bool answered, const std::string& reply, const char* subject) {
    const std::string prefix(subject);
    if (!answered)
        return prefix + " timeout.";
    if (Contains(reply, "!SMACK"))
        return prefix + " aknowledged.";
    if (Contains(reply, "!SMNCK"))
        return prefix + " NOT acknowledged.";
    return reply;
}

// Up to 4 characters starting at the 0-based position start, which may lie before the reply's
// first character; such a field starts at the first character instead.
std::string Field(const std::string& reply, std::ptrdiff_t start) {
    const std::size_t from = static_cast<std::size_t>(std::max<std::ptrdiff_t>(start, 0));
    return from < reply.size() ? reply.substr(from, 4) : std::string();
}

} // namespace

std::string StartOutcomeText(bool answered, const std::string& reply) {
    return AcknowledgeText(answered, reply, "Start");
}

std::string StatusOutcomeText(bool answered, const std::string& reply) {
    if (!answered)
        return "Status: request timeout.";
    const std::size_t marker = reply.find("!SM");
    if (marker == std::string::npos)
        return "Status: unknown.";
    return "Status: " + reply.substr(marker + 3, 9);
}

std::string PowerOnDefaultOutcomeText(bool answered, const std::string& reply) {
    return AcknowledgeText(answered, reply, "Setting power on defaults");
}

std::string BoardInformationText(bool answered, const std::string& reply) {
    std::string fields[4];
    const std::size_t cr = reply.find('\r');
    if (answered && cr != std::string::npos) {
        const auto first = static_cast<std::ptrdiff_t>(cr) - 16;
        for (int i = 0; i < 4; ++i)
            fields[i] = Field(reply, first + 4 * i);
    }
    return "Board Information:\r\nSerial number: " + fields[0] + "\r\nPCB Version: " + fields[1] +
           "\r\nFPGA Version: " + fields[2] +
           "\r\n\xB5"
           "C Version: " +
           fields[3];
}

bool MessageExpired(std::uint32_t now, std::uint32_t stamp) {
    return static_cast<std::uint32_t>(now - stamp) > MessageLifetime;
}

} // namespace kronax
