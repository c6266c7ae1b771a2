#include "records/RecordStore.h"
#include "tests/support/ScopedTempFile.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace kronax::records
