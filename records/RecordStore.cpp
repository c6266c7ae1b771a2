#include "records/RecordStore.h"

#include "records/RecordJson.h"
#include "records/RecordOrigin.h"
#include "records/RecordOwner.h"
#include "records/SqliteStatement.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

namespace kronax::records {
namespace {

constexpr const char* SaveSql =
    "INSERT INTO records (id, started_ms, ended_ms, station, operation, port, board_serial, file, "
    "exit_code, body, owner) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11) "
    "ON CONFLICT (id) DO UPDATE SET ended_ms = ?3, board_serial = ?7, file = ?8, exit_code = ?9, "
    "body = ?10, owner = ?11, forwarded_ms = NULL, refused_ms = NULL, refusal = NULL";

constexpr const char* RunningSql =
    "SELECT id, owner, started_ms, body FROM records WHERE ended_ms IS NULL AND station = ?1";

// Only a record still running is closed: two processes closing it at once close it once.
constexpr const char* CloseSql =
    "UPDATE records SET ended_ms = ?2, exit_code = ?3, body = ?4, forwarded_ms = NULL, "
    "refused_ms = NULL, refusal = NULL WHERE id = ?1 AND ended_ms IS NULL";

std::optional<std::int64_t> OptionalNumber(const std::optional<int>& number) {
    if (!number)
        return std::nullopt;
    return *number;
}

BoardRecord RecordOfBody(const std::string& body) {
    try {
        return RecordFromJson(nlohmann::json::parse(body));
    } catch (const nlohmann::json::exception& error) {
        throw ERecordStore(StoreFailure::Corrupt,
                           std::string("a record of the store cannot be read: ") + error.what());
    }
}

// Whether the process that saved a running record is gone.
bool Abandoned(const std::string& owner, std::int64_t startedMs, std::int64_t nowMs) {
    if (owner == ThisProcessOwner())
        return false;
    if (const auto ended = OwnerEnded(owner))
        return *ended;
    return nowMs - startedMs > RecordStore::AbandonedAfterMs;
}

// The running record of a process that is gone, completed with what it holds.
BoardRecord Interrupted(BoardRecord record) {
    std::int64_t lastMs = 0;
    for (const RecordedLogLine& line : record.traffic)
        lastMs = std::max(lastMs, line.offsetMs);
    record.endedMs = record.startedMs + lastMs;
    record.exitCode = RecordStore::AbandonedExitCode;
    record.errorCode = "interrupted";
    return record;
}

// The query for filter, its parameters numbered in the order of the members.
std::string QuerySql(const RecordFilter& filter) {
    std::string where;
    const auto add = [&where](const char* condition) {
        where += (where.empty() ? " WHERE " : " AND ") + std::string(condition);
    };
    if (filter.boardSerial)
        add("board_serial = ?1");
    if (filter.port)
        add("port = ?2");
    if (filter.operation)
        add("operation = ?3");
    if (filter.sinceMs)
        add("started_ms >= ?4");
    if (filter.untilMs)
        add("started_ms < ?5");
    if (filter.failedOnly)
        add("(exit_code IS NULL OR exit_code != 0)");
    return "SELECT body FROM records" + where + " ORDER BY started_ms DESC, rowid DESC" +
           (filter.limit ? " LIMIT ?6" : "");
}

// Switching a new store to write-ahead logging needs the file to itself. When several processes
// open a new store at once, SQLite refuses the switch at once rather than wait (its busy handler
// could deadlock there), so the switch is tried again until the busy time-out.
void UseWriteAheadLog(sqlite3* db, int busyTimeoutMs, const std::string& doing) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(busyTimeoutMs);
    for (;;) {
        try {
            Statement(db, "PRAGMA journal_mode = WAL").Step(doing);
            return;
        } catch (const ERecordStore& error) {
            if (error.Failure() != StoreFailure::Busy || std::chrono::steady_clock::now() > giveUp)
                throw;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace

RecordStore::RecordStore(const std::filesystem::path& file, int busyTimeoutMs)
    : busyTimeoutMs_(busyTimeoutMs) {
    const int opened = sqlite3_open_v2(
        file.string().c_str(), &db_,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    try {
        if (opened != SQLITE_OK)
            RaiseStoreError(db_, opened, "cannot open the record store " + file.string());
        sqlite3_busy_timeout(db_, busyTimeoutMs);
        sqlite3_extended_result_codes(db_, 1);
        // Each kronax run opens the store once: a checkpoint (and its syncs) at every close would
        // cost more than the records themselves. The log is checkpointed as it grows instead.
        sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        const std::string doing = "cannot use the record store " + file.string();
        UseWriteAheadLog(db_, busyTimeoutMs, doing);
        // In WAL mode a commit is safe from a killed process; only a power cut may lose the
        // last ones.
        Execute(db_, "PRAGMA synchronous = NORMAL", doing);
        if (FileSchemaVersion() != SchemaVersion)
            MigrateRecordSchema(db_, SchemaVersion);
        save_ = std::make_unique<Statement>(db_, SaveSql);
        running_ = std::make_unique<Statement>(db_, RunningSql);
    } catch (...) {
        save_.reset();
        running_.reset();
        sqlite3_close(db_);
        throw;
    }
}

RecordStore::~RecordStore() {
    save_.reset();
    running_.reset();
    sqlite3_close(db_);
}

void RecordStore::Save(const BoardRecord& record) {
    const std::string body = RecordToJson(record).dump();
    std::lock_guard lock(mutex_);
    if (record.Running()) {
        // Housekeeping only: a store that cannot do it now fails the save below or does it at
        // the next run.
        try {
            CloseAbandonedLocked(record.station, NowUtcMs());
        } catch (const ERecordStore&) {
        }
    }
    Statement& save = *save_;
    save.Reset();
    save.Bind(1, record.id);
    save.Bind(2, record.startedMs);
    save.Bind(3, record.endedMs);
    save.Bind(4, record.station);
    save.Bind(5, record.operation);
    save.Bind(6, record.port.name);
    save.Bind(7, record.board ? std::optional(record.board->serialNumber) : std::nullopt);
    save.Bind(8, record.filePath);
    save.Bind(9, OptionalNumber(record.exitCode));
    save.Bind(10, body);
    save.Bind(11, record.Running() ? std::optional(ThisProcessOwner()) : std::nullopt);
    save.Step("cannot write the record " + record.id);
}

std::size_t RecordStore::CloseAbandoned(const std::string& station, std::int64_t nowMs) {
    std::lock_guard lock(mutex_);
    return CloseAbandonedLocked(station, nowMs);
}

std::size_t RecordStore::CloseAbandonedLocked(const std::string& station, std::int64_t nowMs) {
    std::vector<BoardRecord> abandoned;
    Statement& running = *running_;
    running.Reset();
    running.Bind(1, station);
    while (running.Step("cannot read the record store"))
        if (Abandoned(running.Text(1), running.Number(2), nowMs))
            abandoned.push_back(Interrupted(RecordOfBody(running.Text(3))));
    running.Reset();
    std::size_t closed = 0;
    for (const BoardRecord& record : abandoned) {
        Statement close(db_, CloseSql);
        close.Bind(1, record.id);
        close.Bind(2, record.endedMs);
        close.Bind(3, std::int64_t{AbandonedExitCode});
        close.Bind(4, RecordToJson(record).dump());
        close.Step("cannot close the record " + record.id);
        closed += static_cast<std::size_t>(sqlite3_changes(db_));
    }
    return closed;
}

int RecordStore::SetBusyTimeout(int busyTimeoutMs) {
    std::lock_guard lock(mutex_);
    sqlite3_busy_timeout(db_, busyTimeoutMs);
    return std::exchange(busyTimeoutMs_, busyTimeoutMs);
}

std::optional<BoardRecord> RecordStore::Find(const std::string& id) {
    if (id.size() < 4)
        throw ERecordStore(StoreFailure::Other, "a record id needs at least 4 characters");
    std::lock_guard lock(mutex_);
    Statement find(db_, "SELECT body FROM records WHERE substr(id, 1, length(?1)) = ?1 LIMIT 2");
    find.Bind(1, id);
    if (!find.Step("cannot read the record store"))
        return std::nullopt;
    BoardRecord record = RecordOfBody(find.Text(0));
    if (find.Step("cannot read the record store"))
        throw ERecordStore(StoreFailure::Other, "more than one record starts with " + id);
    return record;
}

void RecordStore::Each(const RecordFilter& filter,
                       const std::function<void(const BoardRecord&)>& each) {
    std::lock_guard lock(mutex_);
    Statement query(db_, QuerySql(filter));
    if (filter.boardSerial)
        query.Bind(1, *filter.boardSerial);
    if (filter.port)
        query.Bind(2, *filter.port);
    if (filter.operation)
        query.Bind(3, *filter.operation);
    query.Bind(4, filter.sinceMs);
    query.Bind(5, filter.untilMs);
    if (filter.limit)
        query.Bind(6, static_cast<std::int64_t>(*filter.limit));
    while (query.Step("cannot read the record store"))
        each(RecordOfBody(query.Text(0)));
}

std::vector<BoardRecord> RecordStore::Query(const RecordFilter& filter) {
    std::vector<BoardRecord> records;
    Each(filter, [&records](const BoardRecord& record) { records.push_back(record); });
    return records;
}

RecordStore::Pruned RecordStore::PruneBefore(std::int64_t beforeMs, bool keepUnforwarded) {
    std::lock_guard lock(mutex_);
    Execute(db_, "BEGIN IMMEDIATE", "cannot lock the record store");
    try {
        Pruned pruned;
        if (keepUnforwarded) {
            Statement kept(db_, "SELECT count(*) FROM records WHERE started_ms < ?1 AND "
                                "forwarded_ms IS NULL");
            kept.Bind(1, beforeMs);
            kept.Step("cannot read the record store");
            pruned.kept = static_cast<std::size_t>(kept.Number(0));
        }
        Statement prune(db_, keepUnforwarded ? "DELETE FROM records WHERE started_ms < ?1 AND "
                                               "forwarded_ms IS NOT NULL"
                                             : "DELETE FROM records WHERE started_ms < ?1");
        prune.Bind(1, beforeMs);
        prune.Step("cannot prune the record store");
        pruned.deleted = static_cast<std::size_t>(sqlite3_changes(db_));
        Execute(db_, "COMMIT", "cannot prune the record store");
        return pruned;
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

int RecordStore::FileSchemaVersion() {
    std::lock_guard lock(mutex_);
    Statement version(db_, "PRAGMA user_version");
    version.Step("cannot read the record store's schema version");
    return static_cast<int>(version.Number(0));
}

std::string RecordStore::IntegrityCheck() {
    std::lock_guard lock(mutex_);
    Statement check(db_, "PRAGMA integrity_check");
    return check.Step("cannot check the record store") ? check.Text(0) : "no answer";
}

} // namespace kronax::records
