#pragma once

#include <cstdint>
#include <string>

namespace kronax {

// What the operator is shown for the board's answers to the single commands: start, status,
// power-on default and board information. Pure: each takes whether the exchange got a complete
// line (answered) and the reply as collected.

// Idle texts of the start and status labels.
inline constexpr const char* StartIdleText = "";
inline constexpr const char* StatusIdleText = "Status:";

// A start or status text stays this long before it expires (ms).
inline constexpr std::uint32_t MessageLifetime = 3000;

// "Start timeout.", "Start aknowledged.", "Start NOT acknowledged." or the reply unchanged.
std::string StartOutcomeText(bool answered, const std::string& reply);

// "Status: request timeout.", "Status: unknown." when the reply lacks "!SM", else "Status: "
// followed by up to 9 characters after the first "!SM", taken unchanged.
std::string StatusOutcomeText(bool answered, const std::string& reply);

// The power-on default texts, or the reply unchanged when it is neither acceptance nor refusal.
std::string PowerOnDefaultOutcomeText(bool answered, const std::string& reply);

// The five lines "Board Information:", "Serial number: ", "PCB Version: ", "FPGA Version: " and
// "\xB5C Version: " (micro sign, byte 0xB5) with their fields, joined by CR LF without a final line
// break. The fields are the four groups of 4 characters right before the reply's first CR; a
// field reaching before the reply's start begins at its first character; all are empty when the
// exchange was not answered.
std::string BoardInformationText(bool answered, const std::string& reply);

// True when more than MessageLifetime ms have passed from stamp to now, both 32-bit tick counts;
// the difference is taken modulo 2^32 so a wrap of the counter changes nothing.
bool MessageExpired(std::uint32_t now, std::uint32_t stamp);

} // namespace kronax
