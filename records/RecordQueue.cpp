#include "records/RecordJson.h"
#include "records/RecordStore.h"
#include "records/SqliteStatement.h"

namespace kronax::records {

std::vector<BoardRecord> RecordStore::Queued(std::size_t limit) {
    std::lock_guard lock(mutex_);
    Statement queued(db_, "SELECT body FROM records WHERE forwarded_ms IS NULL AND "
                          "refused_ms IS NULL ORDER BY started_ms, rowid LIMIT ?1");
    queued.Bind(1, static_cast<std::int64_t>(limit));
    std::vector<BoardRecord> records;
    while (queued.Step("cannot read the record store")) {
        try {
            records.push_back(RecordFromJson(nlohmann::json::parse(queued.Text(0))));
        } catch (const nlohmann::json::exception& error) {
            throw ERecordStore(StoreFailure::Corrupt,
                               std::string("a record of the store cannot be read: ") +
                                   error.what());
        }
    }
    return records;
}

std::size_t RecordStore::QueuedCount() {
    std::lock_guard lock(mutex_);
    Statement count(db_, "SELECT count(*) FROM records WHERE forwarded_ms IS NULL AND "
                         "refused_ms IS NULL");
    count.Step("cannot read the record store");
    return static_cast<std::size_t>(count.Number(0));
}

void RecordStore::MarkForwarded(const std::vector<BoardRecord>& records, std::int64_t atMs) {
    std::lock_guard lock(mutex_);
    Execute(db_, "BEGIN IMMEDIATE", "cannot lock the record store");
    try {
        // The end time tells the running record that was sent from the completed one saved
        // since.
        for (const BoardRecord& record : records) {
            Statement mark(db_, "UPDATE records SET forwarded_ms = ?1 WHERE id = ?2 AND "
                                "ended_ms IS ?3");
            mark.Bind(1, atMs);
            mark.Bind(2, record.id);
            mark.Bind(3, record.endedMs);
            mark.Step("cannot mark the record " + record.id + " forwarded");
        }
        Execute(db_, "COMMIT", "cannot mark records forwarded");
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void RecordStore::SetAside(const BoardRecord& record, const std::string& reason,
                           std::int64_t atMs) {
    std::lock_guard lock(mutex_);
    Statement aside(db_, "UPDATE records SET refused_ms = ?1, refusal = ?2 WHERE id = ?3 AND "
                         "ended_ms IS ?4 AND forwarded_ms IS NULL");
    aside.Bind(1, atMs);
    aside.Bind(2, reason);
    aside.Bind(3, record.id);
    aside.Bind(4, record.endedMs);
    aside.Step("cannot set the record " + record.id + " aside");
}

std::vector<RecordStore::SetAsideRecord> RecordStore::SetAsideRecords() {
    std::lock_guard lock(mutex_);
    Statement aside(db_, "SELECT id, refused_ms, refusal FROM records WHERE refused_ms IS NOT "
                         "NULL ORDER BY started_ms, rowid");
    std::vector<SetAsideRecord> records;
    while (aside.Step("cannot read the record store"))
        records.push_back({aside.Text(0), aside.Number(1), aside.Text(2)});
    return records;
}

} // namespace kronax::records
