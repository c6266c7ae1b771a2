#pragma once

#include "records/BoardRecord.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

struct sqlite3;

namespace kronax::records {

class Statement;

// Why the store could not do what was asked.
enum class StoreFailure {
    Unopenable, // the file cannot be made or opened (a folder, no permission, a missing folder)
    Corrupt,    // the file is not a record store, or its schema is newer than this program's
    ReadOnly,   // the file or its folder cannot be written
    Busy,       // another writer held it past the busy time-out
    Full,       // the disk (or the file's size limit) is full
    Other,
};

class ERecordStore : public std::runtime_error {
public:
    ERecordStore(StoreFailure failure, const std::string& message)
        : std::runtime_error(message), failure_(failure) {}
    StoreFailure Failure() const { return failure_; }

private:
    StoreFailure failure_;
};

// Which records a query returns; empty members do not filter.
struct RecordFilter {
    std::optional<std::string> boardSerial = {};
    std::optional<std::string> port = {}; // the port as it was named
    std::optional<std::string> operation = {};
    std::optional<std::int64_t> sinceMs = {}; // started at or after
    std::optional<std::int64_t> untilMs = {}; // started before
    bool failedOnly = false;                  // failed ones, and those still (or forever) running
    std::optional<std::size_t> limit = {};
};

// The SQLite file of board records. Each record is one row, written in one transaction by one
// prepared statement: Save inserts it as it is (running) before the first command and replaces it
// when complete, so a process killed between the two leaves the running record. Write-ahead
// logging lets the window, several kronax processes and the threads of one process write at once;
// a writer waits up to the busy time-out for another.
//
// Schema (PRAGMA user_version):
//   1  the table records: id, started_ms, ended_ms, station, operation, port, board_serial, file,
//      exit_code and body (the record's JSON form, which holds everything)
//   2  indexes on board serial, port and start time; forwarded_ms, the time the record was
//      copied to a shared server (NULL: not yet), for a forwarder to use
//   3  an index of the records not yet forwarded
// Opening migrates an earlier version in one transaction.
//
// Any thread may call any member; calls are serialised.
class RecordStore {
public:
    static constexpr int SchemaVersion = 3;
    static constexpr int DefaultBusyTimeoutMs = 5000;

    // Opens file, creating it with the current schema when it is new or empty, migrating an
    // earlier schema. Raises ERecordStore.
    explicit RecordStore(const std::filesystem::path& file,
                         int busyTimeoutMs = DefaultBusyTimeoutMs);
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    // Inserts record, or replaces the one with its id. Raises ERecordStore.
    void Save(const BoardRecord& record);

    // The record whose id is id or starts with it (at least 4 characters), when exactly one
    // does. Raises ERecordStore, also when the prefix names more than one record.
    std::optional<BoardRecord> Find(const std::string& id);

    // The records filter selects, newest first, handed one by one to each. Raises ERecordStore.
    void Each(const RecordFilter& filter, const std::function<void(const BoardRecord&)>& each);
    std::vector<BoardRecord> Query(const RecordFilter& filter);

    // Deletes every record started before beforeMs; returns how many. Raises ERecordStore.
    std::size_t PruneBefore(std::int64_t beforeMs);

    // The store is the spool of a shared records server: a record waits in it until it is
    // marked forwarded, and saving it again (completing it) makes it wait again.
    // The records waiting, oldest first, at most limit of them. Raises ERecordStore.
    std::vector<BoardRecord> Queued(std::size_t limit);
    std::size_t QueuedCount();
    // Marks records forwarded at atMs, in one transaction, each only as it was sent: one saved
    // again since keeps waiting. Raises ERecordStore.
    void MarkForwarded(const std::vector<BoardRecord>& records, std::int64_t atMs);

    // The schema version of the open file.
    int FileSchemaVersion();

    // Runs the integrity check; returns "ok" or the first problem.
    std::string IntegrityCheck();

private:
    std::mutex mutex_;
    sqlite3* db_ = nullptr;
    // Prepared once: preparing it cost a third of a save.
    std::unique_ptr<Statement> save_;
};

// Brings the open database db to schema version target, from whatever earlier version it has, in
// one transaction. Used when opening; tests build earlier versions with it. Raises ERecordStore.
void MigrateRecordSchema(sqlite3* db, int target);

} // namespace kronax::records
