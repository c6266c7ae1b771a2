#pragma once

#include <cstdint>
#include <memory>
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

// The record's file text: the end time and the command's length in decimal on the first line,
// then the command's bytes. A shorter record written over a longer one leaves the longer one's
// tail behind, which the length makes harmless.
std::string PendingAnswerText(const PendingAnswer& pending);

// What a record says after an exchange that got its CR: no answer pending.
inline constexpr const char* NothingPendingText = "-\n";

// The record in text, or nothing when it says nothing is pending or is not a record at all (cut
// short, say).
std::optional<PendingAnswer> ParsePendingAnswer(const std::string& text);

// One port's record, kept open for one opening of the port. Losing a record costs at most one
// misattributed late answer, so a failure to keep one is not an error: reading gives nothing,
// writing gives up silently. UI thread of each run; several runs never write one port's record
// at once, because a port opens for one program at a time and a record is written only while
// its port is open.
class IPortRecord {
public:
    virtual ~IPortRecord() = default;

    // What the record says now.
    virtual std::optional<PendingAnswer> Read() = 0;
    virtual void Write(const PendingAnswer& pending) = 0;
    // Nothing pending: the last exchange got its CR.
    virtual void Clear() = 0;
};

// Where the ports' records are kept between runs: one small file per device in a private folder
// of the user's.
class IPortRecords {
public:
    virtual ~IPortRecords() = default;

    // The record of the port named port, for its current opening; nothing when no record can be
    // kept for it.
    virtual std::unique_ptr<IPortRecord> Open(const std::string& port) = 0;
    // The wall clock in milliseconds since 1970, UTC.
    virtual std::int64_t WallClockMs() const = 0;
};

// The records in the user's runtime folder (see PortRecordFolder.h), on the system's clock.
IPortRecords& SystemPortRecords();

} // namespace kronax
