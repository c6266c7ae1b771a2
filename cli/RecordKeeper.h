#pragma once

#include "cli/PortResult.h"
#include "records/BoardRecord.h"

#include <memory>
#include <string>
#include <vector>

namespace kronax::cli {

// Keeps one record per port of a kronax run in the record store: inserted as running before the
// port is opened, completed with the port's result and traffic log after. Built without a store
// (no SQLite on the platform), it keeps nothing and every call succeeds. Any thread.
class RecordKeeper {
public:
    // Opens the store unless enabled is false; a store that cannot be opened fails every Begin.
    RecordKeeper(bool enabled, std::string operation);
    ~RecordKeeper();
    RecordKeeper(const RecordKeeper&) = delete;
    RecordKeeper& operator=(const RecordKeeper&) = delete;

    // Starts record for port and inserts it as running. Returns why it could not be kept, or
    // nothing; the board must not be touched then.
    std::string Begin(records::BoardRecord& record, const std::string& port);

    // Completes record with what result says and the traffic, and stores it. Returns why it
    // could not be kept, or nothing.
    std::string Finish(records::BoardRecord& record, const PortResult& result,
                       std::vector<records::RecordedLogLine> traffic);

    // The whole record as one JSON line, for standard error when it could not be kept.
    static std::string JsonLine(const records::BoardRecord& record);

private:
    struct Store;
    std::unique_ptr<Store> store_;
};

} // namespace kronax::cli
