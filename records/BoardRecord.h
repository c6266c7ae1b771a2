#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kronax::records {

// One operation on one board, as the record store keeps it: a plain value. Texts hold the
// program's 8-bit system text, as the board and the traffic log give them; the JSON form turns
// them into UTF-8. Times are milliseconds since 1970-01-01 UTC.

// The port the operation went through. Empty texts: unknown.
struct RecordedPort {
    std::string name;      // "COM3"
    std::string path;      // "/dev/ttyUSB0", or the URL of a network port
    std::string vendorId;  // the USB adapter's, "0403"
    std::string productId; // "6001"
    std::string usbSerial; // the adapter's serial number

    bool operator==(const RecordedPort&) const = default;
};

// The board's answer to the identity query, its four fields.
struct BoardIdentityFields {
    std::string serialNumber, pcbVersion, fpgaVersion, ucVersion;

    bool operator==(const BoardIdentityFields&) const = default;
};

// Six payloads, SEN to MUX; a payload that was not had is empty.
using RecordedPayloads = std::array<std::optional<std::string>, 6>;

// One command of the operation: as sent (without its CR), how it ended (an identifier such as
// "acknowledged", "timeout", "received") and the reply as collected (empty after a time-out).
struct RecordedStep {
    std::string command;
    std::string outcome;
    std::string reply;

    bool operator==(const RecordedStep&) const = default;
};

// One line of the traffic log and when it was written, in ms after the record's start.
struct RecordedLogLine {
    std::int64_t offsetMs = 0;
    std::string line;

    bool operator==(const RecordedLogLine&) const = default;
};

struct BoardRecord {
    std::string id; // a random UUID, "3f0c...-..."
    std::int64_t startedMs = 0;
    std::optional<std::int64_t> endedMs; // empty while the operation runs (or if it never ended)
    std::string station;                 // KRONAX_STATION, or the host name
    std::string user;
    std::string program; // "kronax", "kronax-config"
    std::string version;
    std::string operation; // "write", "read", "startup-read", "open-send", ...

    RecordedPort port;
    std::optional<BoardIdentityFields> board; // empty: not asked, or not answered

    std::optional<std::string> filePath;   // the file written to the board or stored by a read
    std::optional<std::string> fileSha256; // of its bytes, 64 lower-case hexadecimal digits

    std::optional<RecordedPayloads> before;   // what the board held before a write
    std::optional<RecordedPayloads> sent;     // what a write sent
    std::optional<RecordedPayloads> verified; // what the board held when read back
    std::optional<RecordedPayloads> received; // what a read received

    std::optional<int> exitCode; // the JSON contract's exit code; empty while running
    std::string errorCode;       // its machine error code, empty on success
    std::vector<RecordedStep> steps;
    std::vector<RecordedLogLine> traffic;

    bool Running() const { return !endedMs; }
    bool Failed() const { return exitCode.value_or(0) != 0; }
    // "running", "ok" or "failed".
    std::string Outcome() const {
        if (Running())
            return "running";
        return Failed() ? "failed" : "ok";
    }

    bool operator==(const BoardRecord&) const = default;
};

} // namespace kronax::records
