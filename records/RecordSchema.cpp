#include "records/RecordStore.h"
#include "records/SqliteStatement.h"

#include <array>

namespace kronax::records {
namespace {

// The step from version n to n + 1 is Migrations[n]. Steps are never changed once released:
// a new schema is a new step.
constexpr std::array<const char*, RecordStore::SchemaVersion> Migrations = {
    R"(CREATE TABLE records (
           id TEXT PRIMARY KEY,
           started_ms INTEGER NOT NULL,
           ended_ms INTEGER,
           station TEXT NOT NULL,
           operation TEXT NOT NULL,
           port TEXT NOT NULL,
           board_serial TEXT,
           file TEXT,
           exit_code INTEGER,
           body TEXT NOT NULL);)",
    R"(CREATE INDEX records_by_board ON records (board_serial, started_ms);
       CREATE INDEX records_by_port ON records (port, started_ms);
       CREATE INDEX records_by_start ON records (started_ms);
       ALTER TABLE records ADD COLUMN forwarded_ms INTEGER;)",
    R"(CREATE INDEX records_queued ON records (started_ms) WHERE forwarded_ms IS NULL;)",
    R"(ALTER TABLE records ADD COLUMN refused_ms INTEGER;
       ALTER TABLE records ADD COLUMN refusal TEXT;
       ALTER TABLE records ADD COLUMN owner TEXT;
       CREATE INDEX records_running ON records (station) WHERE ended_ms IS NULL;)",
};

int UserVersion(sqlite3* db) {
    Statement statement(db, "PRAGMA user_version");
    statement.Step("cannot read the record store's schema version");
    return static_cast<int>(statement.Number(0));
}

} // namespace

void MigrateRecordSchema(sqlite3* db, int target) {
    // IMMEDIATE: two processes opening a new store at once migrate it once.
    Execute(db, "BEGIN IMMEDIATE", "cannot lock the record store");
    try {
        const int version = UserVersion(db);
        if (version > RecordStore::SchemaVersion)
            throw ERecordStore(StoreFailure::Corrupt,
                               "the record store has schema version " + std::to_string(version) +
                                   ", newer than this program's " +
                                   std::to_string(RecordStore::SchemaVersion));
        for (int step = version; step < target; ++step)
            Execute(db, Migrations[static_cast<std::size_t>(step)],
                    "cannot migrate the record store to schema version " +
                        std::to_string(step + 1));
        if (version < target)
            Execute(db, ("PRAGMA user_version = " + std::to_string(target)).c_str(),
                    "cannot set the record store's schema version");
        Execute(db, "COMMIT", "cannot write the record store's schema");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace kronax::records
