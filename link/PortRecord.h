#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kronax {

// What the last exchange on a port leaves for whoever opens the port next, this run or a later
// one of kronax or the window: the command whose answer may still come, and the wall-clock time
// by which its exchange ended without the CR, or will have ended when it is still under way.
struct PendingAnswer {
    std::string command;
    std::int64_t endMs = 0; // milliseconds since 1970, UTC
    bool operator==(const PendingAnswer&) const = default;
};

// The record's file text: the end time in decimal on the first line, then the command's bytes.
std::string PendingAnswerText(const PendingAnswer& pending);

// The record in text, or nothing when the text is not one (cut short, say, by a killed writer).
std::optional<PendingAnswer> ParsePendingAnswer(const std::string& text);

// Where the ports' records are kept between runs: one small file per port in a private folder of
// the user's. Losing a record costs at most one misattributed late answer, so a failure to keep
// one is not an error: reading gives nothing, writing and removing give up silently. UI thread
// of each run; several runs never touch one port's record at once, because a port opens for one
// program at a time and a record is read and written only while its port is open.
class IPortRecords {
public:
    virtual ~IPortRecords() = default;

    // Where the record of the port named port is kept, found anew at each opening of the port;
    // nothing when no record can be kept for it.
    virtual std::optional<std::string> Locate(const std::string& port) = 0;
    virtual std::optional<PendingAnswer> Read(const std::string& where) = 0;
    virtual void Write(const std::string& where, const PendingAnswer& pending) = 0;
    virtual void Remove(const std::string& where) = 0;
    // The wall clock in milliseconds since 1970, UTC.
    virtual std::int64_t WallClockMs() const = 0;
};

// The records in the user's runtime folder (see PortRecordFolder.h), on the system's clock.
IPortRecords& SystemPortRecords();

} // namespace kronax
