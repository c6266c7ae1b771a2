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
//   4  refused_ms and refusal, when and why the server refused a record for what it holds (the
//      record is set aside: it waits no more); owner, the process that saved a running record;
//      an index of the running records
// Opening migrates an earlier version in one transaction.
//
// Saving a running record first closes its station's running records whose process is gone (see
// CloseAbandoned), so a later run completes the record of a run that was killed.
//
// Any thread may call any member; calls are serialised.
class RecordStore {
public:
    static constexpr int SchemaVersion = 4;
    static constexpr int DefaultBusyTimeoutMs = 5000;
    // The exit code a record closed by CloseAbandoned gets, a killed process's (128 + SIGKILL).
    static constexpr int AbandonedExitCode = 137;
    // A running record whose process cannot be looked at (saved on another host, or by a program
    // that kept no owner) is taken as abandoned once it is older than any operation can last.
    static constexpr std::int64_t AbandonedAfterMs = 24 * 60 * 60 * 1000;

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

    struct Pruned {
        std::size_t deleted = 0;
        std::size_t kept = 0; // started before, but kept as not yet forwarded
    };
    // Deletes every record started before beforeMs, in one transaction; with keepUnforwarded,
    // not those that were never forwarded (waiting or set aside). Raises ERecordStore.
    Pruned PruneBefore(std::int64_t beforeMs, bool keepUnforwarded = false);

    // Completes each running record of station whose process is gone as "interrupted" with what
    // it holds: ended at its last traffic line (or its start), exit code AbandonedExitCode. The
    // process is gone when the record's owner names this host and either another boot or no
    // process of its id and start time; a record without an owner of this host is abandoned
    // after AbandonedAfterMs (by nowMs). A completed record waits to be forwarded again. Returns
    // how many it closed. Raises ERecordStore.
    std::size_t CloseAbandoned(const std::string& station, std::int64_t nowMs);

    // The store is the spool of a shared records server: a record waits in it until it is
    // marked forwarded, and saving it again (completing it) makes it wait again.
    // The records waiting, oldest first, at most limit of them. Raises ERecordStore.
    std::vector<BoardRecord> Queued(std::size_t limit);
    std::size_t QueuedCount();
    // Marks records forwarded at atMs, in one transaction, each only as it was sent: one saved
    // again since keeps waiting. Raises ERecordStore.
    void MarkForwarded(const std::vector<BoardRecord>& records, std::int64_t atMs);
    // Sets record aside at atMs, as it was sent, because the server refused it for what it holds
    // (reason, one line): it waits no more but stays in the store; saving it again (completing
    // it) makes it wait again. Raises ERecordStore.
    void SetAside(const BoardRecord& record, const std::string& reason, std::int64_t atMs);
    struct SetAsideRecord {
        std::string id;
        std::int64_t atMs = 0;
        std::string reason;
    };
    // The records set aside, oldest first. Raises ERecordStore.
    std::vector<SetAsideRecord> SetAsideRecords();

    // How long a call waits for another writer's lock before it raises Busy; a caller bounded in
    // time lowers it to what it has left. Returns the one before.
    int SetBusyTimeout(int busyTimeoutMs);

    // The schema version of the open file.
    int FileSchemaVersion();

    // Runs the integrity check; returns "ok" or the first problem.
    std::string IntegrityCheck();

private:
    std::size_t CloseAbandonedLocked(const std::string& station, std::int64_t nowMs);

    std::mutex mutex_;
    sqlite3* db_ = nullptr;
    int busyTimeoutMs_;
    // Prepared once: preparing it cost a third of a save.
    std::unique_ptr<Statement> save_;
    // Run at every save of a running record.
    std::unique_ptr<Statement> running_;
};

// Brings the open database db to schema version target, from whatever earlier version it has, in
// one transaction. Used when opening; tests build earlier versions with it. Raises ERecordStore.
void MigrateRecordSchema(sqlite3* db, int target);

} // namespace kronax::records
