#include "records/RecordOwner.h"
#include "records/RecordStore.h"
#include "tests/support/ScopedTempFile.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace kronax::records {
namespace {

using kronax::test::ScopedTempFile;

BoardRecord Running(const std::string& id) {
    BoardRecord record;
    record.id = id;
    record.startedMs = 1000;
    record.station = "line-1";
    record.operation = "write";
    return record;
}

// The record completed while its running form was on the way to the server: marking what was
// sent must leave the completed form waiting, or the server would keep "running" for ever.
TEST(RecordQueue, ARecordCompletedWhileItsRunningFormWasSentKeepsWaiting) {
    ScopedTempFile file("store.sqlite3");
    RecordStore store(file.Path());
    BoardRecord record = Running("q-1");
    store.Save(record);
    const std::vector<BoardRecord> sent = store.Queued(10);
    record.endedMs = 2000;
    record.exitCode = 0;
    store.Save(record);
    store.MarkForwarded(sent, 3000);
    ASSERT_EQ(store.QueuedCount(), 1u);
    EXPECT_EQ(store.Queued(10), std::vector{record});
    store.MarkForwarded(store.Queued(10), 4000);
    EXPECT_EQ(store.QueuedCount(), 0u);
}

// Sets the owner noted for a record, as another process would have left it.
void SetOwner(const std::string& file, const std::string& id, const std::string& owner) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    const std::string sql =
        "UPDATE records SET owner = " + (owner.empty() ? std::string("NULL") : "'" + owner + "'") +
        " WHERE id = '" + id + "'";
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// The id of a process that has ended and been waited for.
long EndedPid() {
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

// This process's owner note: id, start, boot, host.
std::array<std::string, 4> OwnerParts() {
    std::istringstream self(ThisProcessOwner());
    std::array<std::string, 4> parts;
    for (std::string& part : parts)
        self >> part;
    return parts;
}

// The owner note of process pid of this boot and host.
std::string OwnerOf(long pid) {
    const auto parts = OwnerParts();
    return std::to_string(pid) + " " + parts[1] + " " + parts[2] + " " + parts[3];
}

// A killed run leaves its record running; a later run of the station closes it once the process
// is certainly gone, and only then: a live one, or one that cannot be looked at while young, is
// left alone.
TEST(RecordQueue, ARunningRecordWhoseProcessIsGoneIsClosedAsInterruptedByTheNextRun) {
    const auto [pid, start, boot, host] = OwnerParts();
    const std::int64_t now = 1000 + RecordStore::AbandonedAfterMs / 2;
    const std::int64_t late = 1000 + RecordStore::AbandonedAfterMs * 2;
    const struct {
        const char* name;
        std::string owner;
        std::int64_t nowMs;
        bool closed;
    } cases[] = {
        {"this process", ThisProcessOwner(), late, false},
        {"an ended process", OwnerOf(EndedPid()), now, true},
        {"a process id used again", pid + " 1 " + boot + " " + host, now, true},
        {"an earlier boot", pid + " " + start + " another-boot " + host, now, true},
        {"another host, young", pid + " " + start + " " + boot + " elsewhere", now, false},
        {"another host, old", pid + " " + start + " " + boot + " elsewhere", late, true},
        {"no owner, young", "", now, false},
        {"no owner, old", "", late, true},
    };
    for (const auto& sample : cases) {
        ScopedTempFile file("store.sqlite3");
        RecordStore store(file.Path());
        BoardRecord record = Running("kill-1");
        record.traffic = {{0, "> ##SMGET"}, {40, "< (none)"}};
        store.Save(record);
        store.MarkForwarded(store.Queued(10), 1500);
        SetOwner(file.Path(), "kill-1", sample.owner);
        EXPECT_EQ(store.CloseAbandoned("line-1", sample.nowMs), sample.closed ? 1u : 0u)
            << sample.name;
        const BoardRecord found = *store.Find("kill-1");
        if (!sample.closed) {
            EXPECT_TRUE(found.Running()) << sample.name;
            continue;
        }
        EXPECT_EQ(found.Outcome(), "failed") << sample.name;
        EXPECT_EQ(found.errorCode, "interrupted");
        EXPECT_EQ(found.exitCode, RecordStore::AbandonedExitCode);
        EXPECT_EQ(found.endedMs, 1040);
        EXPECT_EQ(found.traffic, record.traffic);
        EXPECT_EQ(store.QueuedCount(), 1u) << "the closed record goes to the server again";
        EXPECT_EQ(store.CloseAbandoned("line-1", sample.nowMs), 0u) << "closed once";
    }
}

TEST(RecordQueue, SavingARunningRecordClosesOnlyItsOwnStationsAbandonedOnes) {
    ScopedTempFile file("store.sqlite3");
    RecordStore store(file.Path());
    BoardRecord other = Running("other-station");
    other.station = "line-2";
    for (const BoardRecord& record : {Running("killed"), other}) {
        store.Save(record);
        SetOwner(file.Path(), record.id, OwnerOf(EndedPid()));
    }
    store.Save(Running("next"));
    EXPECT_EQ(store.Find("killed")->errorCode, "interrupted");
    EXPECT_TRUE(store.Find("other-station")->Running());
    EXPECT_TRUE(store.Find("next")->Running());
}

// Pruning must not take the only copy of a record that never reached the server.
TEST(RecordQueue, PruningKeepsRecordsNotYetForwardedUnlessAskedAndCountsThem) {
    ScopedTempFile file("store.sqlite3");
    RecordStore store(file.Path());
    for (const char* id : {"sent", "waiting", "aside"})
        store.Save(Running(id));
    store.MarkForwarded({*store.Find("sent")}, 2000);
    store.SetAside(*store.Find("aside"), "refused", 2000);
    const RecordStore::Pruned kept = store.PruneBefore(5000, true);
    EXPECT_EQ(kept.deleted, 1u);
    EXPECT_EQ(kept.kept, 2u);
    EXPECT_EQ(store.PruneBefore(5000).deleted, 2u);
}

// A record the server refused for what it holds must not be sent again and again, nor be lost.
TEST(RecordQueue, ARecordSetAsideWaitsNoMoreStaysInTheStoreAndWaitsAgainOnceCompleted) {
    ScopedTempFile file("store.sqlite3");
    RecordStore store(file.Path());
    BoardRecord record = Running("refused-1");
    store.Save(record);
    store.SetAside(record, "the records server: ERROR: refused", 2000);
    EXPECT_EQ(store.QueuedCount(), 0u);
    ASSERT_EQ(store.SetAsideRecords().size(), 1u);
    EXPECT_EQ(store.SetAsideRecords()[0].reason, "the records server: ERROR: refused");
    EXPECT_TRUE(store.Find("refused-1"));
    record.endedMs = 3000;
    record.exitCode = 0;
    store.Save(record);
    EXPECT_EQ(store.QueuedCount(), 1u);
    EXPECT_TRUE(store.SetAsideRecords().empty());
}

} // namespace
} // namespace kronax::records
