#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kronax {

// What the board's answers to the single commands mean. Pure; any thread.

enum class BoardCommand { Start, Status, PowerOnDefault, BoardInformation };

// How a single command ended; the tests are made in this order and the first that holds decides.
enum class CommandOutcome {
    Timeout,         // no complete line in time, or no port open
    Acknowledged,    // start, power-on default: the reply holds "!SMACK"
    NotAcknowledged, // start, power-on default: the reply holds "!SMNCK"
    Answered,        // status: the reply holds "!SM"; board information: any complete line
    Unrecognised,    // any other complete line, shown as it is (status: "unknown")
};

struct CommandResult {
    BoardCommand command = BoardCommand::Start;
    CommandOutcome outcome = CommandOutcome::Timeout;
    // The reply as collected, possibly partial or empty.
    std::string reply;

    bool Succeeded() const {
        return outcome == CommandOutcome::Acknowledged || outcome == CommandOutcome::Answered;
    }
};

// The result of command from whether the exchange got a complete line (answered) and the reply.
CommandResult ClassifyReply(BoardCommand command, bool answered, std::string reply);

// Status: up to 9 characters after the reply's first "!SM", taken unchanged; empty unless the
// status was answered.
std::string BoardStatus(const CommandResult& result);

// Board information: serial number, PCB, FPGA and microcontroller version, the four groups of 4
// characters right before the reply's first CR; a field reaching before the reply's start begins
// at its first character; all are empty unless the request was answered.
std::array<std::string, 4> BoardIdentity(const CommandResult& result);

// Idle texts of the start and status labels.
inline constexpr const char* StartIdleText = "";
inline constexpr const char* StatusIdleText = "Status:";

// A start or status text stays this long before it expires (ms).
inline constexpr std::uint32_t MessageLifetime = 3000;

// True when more than MessageLifetime ms have passed from stamp to now, both 32-bit tick counts;
// the difference is taken modulo 2^32 so a wrap of the counter changes nothing.
bool MessageExpired(std::uint32_t now, std::uint32_t stamp);

} // namespace kronax
