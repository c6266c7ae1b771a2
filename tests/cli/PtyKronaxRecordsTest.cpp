#include "tests/cli/CliHarness.h"

#include "records/FileDigest.h"
#include "records/OperationSteps.h"
#include "records/RecordStore.h"
#include "tests/support/ScopedEnvironment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <set>
#include <thread>

namespace kronax::cli::testing {
namespace {

using records::BoardRecord;
using records::RecordStore;
using ::testing::HasSubstr;

// A record store of the test's own, which kronax in-process and its child processes use.
class ScratchStore {
public:
    ScratchStore() : file_(scratch_.Path("records.sqlite3")), env_("KRONAX_RECORDS", file_) {}
    const std::string& File() const { return file_; }
    std::vector<BoardRecord> All() { return RecordStore(file_).Query({}); }

private:
    Scratch scratch_;
    std::string file_;
    kronax::test::ScopedEnvironment env_;
};

std::string SavedFile(const Boards& boards) {
    ConfigurationSnapshot snapshot = StartSnapshot();
    snapshot.configuration.CountsPerRev = 3600;
    const std::string file = boards.File("board.kxcfg");
    SaveConfigFile(file, snapshot, false);
    return file;
}

TEST(PtyKronaxRecords, AWriteRecordsFilePayloadsStepsTrafficAndTheBoardAskedAfterIt) {
    const struct {
        SimArgs sim;
        int exitCode;
        std::string errorCode;
    } cases[] = {
        {{{"--serial", "4711"}}, 0, ""},
        {{{"--serial", "4711", "--refuse", "##SMMUX"}}, 1, "write_not_acknowledged"},
    };
    for (const auto& [sim, exitCode, errorCode] : cases) {
        ScratchStore store;
        Boards boards(sim);
        const std::string file = SavedFile(boards);
        EXPECT_EQ(Kronax({"write", "--port", "COM1", file, "--verify", "--set-default"}).code,
                  exitCode);
        const auto all = store.All();
        ASSERT_EQ(all.size(), 1u);
        const BoardRecord& record = all[0];
        EXPECT_EQ(record.operation, "write");
        EXPECT_EQ(record.exitCode, exitCode);
        EXPECT_EQ(record.errorCode, errorCode);
        ASSERT_TRUE(record.board);
        EXPECT_EQ(record.board->serialNumber, "4711");
        EXPECT_EQ(record.fileSha256, records::Sha256Hex(ReadFileText(file)));
        EXPECT_EQ(record.sent, records::PayloadsOf(LoadConfigFile(file).payloads));
        EXPECT_TRUE(record.before);
        EXPECT_EQ(record.verified.has_value(), exitCode == 0);
        ASSERT_FALSE(record.steps.empty());
        EXPECT_EQ(record.steps.back().command, "??SMSETB");
        ASSERT_EQ(record.traffic.size(), record.steps.size());
        EXPECT_THAT(record.traffic.back().line, HasSubstr("!SM4711P1.2F2.1U1.7"));
    }
}

TEST(PtyKronaxRecords, ABoardSwappedBehindOnePortIsRecordedUnderItsOwnSerialNumber) {
    ScratchStore store;
    for (const char* serial : {"1111", "2222"}) {
        Boards boards(SimArgs{{"--serial", serial}});
        EXPECT_EQ(Kronax({"set-default", "--port", "COM1"}).code, 0);
    }
    const auto all = store.All();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].board->serialNumber, "2222");
    EXPECT_EQ(all[1].board->serialNumber, "1111");
    const Outcome history = Kronax({"history", "--board", "1111"});
    EXPECT_EQ(history.code, 0);
    EXPECT_THAT(history.out, HasSubstr("  COM1  1111  set-default  ok  -\n"));
    EXPECT_EQ(std::count(history.out.begin(), history.out.end(), '\n'), 1);
}

TEST(PtyKronaxRecords, AStoppedOrKilledWriteLeavesItsRecordAReadableStoreAndIsClosedLater) {
    const struct {
        int signal;
        std::string outcome;
    } cases[] = {{SIGTERM, "failed"}, {SIGKILL, "running"}};
    for (const auto& [signal, outcome] : cases) {
        ScratchStore store;
        Boards boards(SimArgs{{"--delay", "150"}});
        KronaxProcess kronax("write --port COM1 " + SavedFile(boards) + " 2>/dev/null");
        EXPECT_TRUE(boards.WaitUntilReceived("COM1", "##SM"));
        kronax.Signal(signal);
        EXPECT_EQ(kronax.Wait(), 128 + signal);
        RecordStore reopened(store.File());
        EXPECT_EQ(reopened.IntegrityCheck(), "ok");
        const auto all = reopened.Query({});
        ASSERT_EQ(all.size(), 1u);
        EXPECT_EQ(all[0].Outcome(), outcome);
        // The next run closes the killed one's record.
        Kronax({"status", "--port", "COM1"});
        const auto closed = reopened.Find(all[0].id);
        EXPECT_EQ(closed->Outcome(), "failed");
        EXPECT_EQ(closed->errorCode, "interrupted");
    }
}

// kronax under strace, with SIGKILL or a full disk at the store's nth write; its exit status.
int KronaxFailingAtWrite(const std::string& inject, int write) {
    const std::string line =
        "strace -f -qq -o /dev/null -e trace=pwrite64 -e inject=pwrite64:" + inject +
        ":when=" + std::to_string(write) + " " + KRONAX_BINARY +
        " status --port socket://127.0.0.1:1 >/dev/null 2>&1";
    return std::system(line.c_str());
}

// A run killed, or refused by a full disk, at any write of the store leaves a store that is
// whole, each record once, and no record running once a later run has been.
TEST(PtyKronaxRecords, AKillOrAFullDiskAtEachWriteOfTheStoreLosesAndDoublesNoRecord) {
    if (std::system("strace -qq -o /dev/null true >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "strace cannot trace here";
    ScratchStore store;
    // A port refused at once: the run writes its record before and after, and nothing else.
    const std::vector<std::string> run = {"status", "--port", "socket://127.0.0.1:1"};
    Kronax(run);
    std::size_t lost = 0, doubled = 0, leftRunning = 0;
    for (const char* inject : {"signal=SIGKILL", "error=ENOSPC"})
        for (int write = 1; write <= 32; ++write) {
            const std::size_t before = store.All().size();
            KronaxFailingAtWrite(inject, write);
            const auto left = store.All();
            const std::size_t after = left.size();
            doubled += after > before + 1;
            leftRunning += std::any_of(left.begin(), left.end(),
                                       [](const BoardRecord& record) { return record.Running(); });
            Kronax(run);
            const auto all = store.All();
            lost += all.size() < after + 1;
            std::set<std::string> ids;
            for (const BoardRecord& record : all) {
                ids.insert(record.id);
                EXPECT_FALSE(record.Running()) << inject << " at write " << write;
            }
            doubled += ids.size() != all.size();
            EXPECT_EQ(RecordStore(store.File()).IntegrityCheck(), "ok");
        }
    EXPECT_EQ(lost, 0u);
    EXPECT_EQ(doubled, 0u);
    // The failures did strike between the two saves of a record, and were closed later.
    EXPECT_GT(leftRunning, 0u);
}

TEST(PtyKronaxRecords, ThirtyTwoBoardsAndThreeMoreProcessesKeepEveryRecord) {
    ScratchStore store;
    Boards boards(32);
    std::vector<std::unique_ptr<KronaxProcess>> others;
    for (int process = 0; process < 3; ++process)
        others.push_back(std::make_unique<KronaxProcess>("status --all -q >/dev/null 2>&1"));
    Kronax({"status", "--all", "-q"});
    for (const auto& other : others)
        other->Wait();
    RecordStore reopened(store.File());
    EXPECT_EQ(reopened.Query({}).size(), 4u * 32u);
    EXPECT_EQ(reopened.IntegrityCheck(), "ok");
}

TEST(PtyKronaxRecords, AStoreThatCannotBeWrittenBeforehandLeavesTheBoardUntouched) {
    const struct {
        const char* name;
        std::function<void(const std::string&)> spoil;
    } cases[] = {
        {"a folder",
         [](const std::string& file) {
             std::filesystem::create_directory(file);
         }},
        {"not a store",
         [](const std::string& file) {
             std::ofstream(file) << std::string(4096, 'x');
         }},
    };
    for (const auto& [name, spoil] : cases) {
        ScratchStore store;
        Boards boards(1);
        spoil(store.File());
        const Outcome refused = Kronax({"start", "--port", "COM1", "--json"});
        EXPECT_EQ(refused.code, 6) << name;
        EXPECT_EQ(JsonLines(refused.out).at(0)["error"]["code"], "record_error") << name;
        EXPECT_FALSE(boards.ReceivedAny("COM1", "##SMSTA")) << name;
        EXPECT_EQ(Kronax({"start", "--port", "COM1", "--no-record"}).code, 0) << name;
    }
}

TEST(PtyKronaxRecords, AStoreLockedBeyondTheOperationLosesNoRecordAndSaysSo) {
    ScratchStore store;
    Boards boards(SimArgs{{"--delay", "300"}});
    RecordStore(store.File()).IntegrityCheck();
    std::atomic<bool> done{false};
    std::thread locker([&] {
        sqlite3* db = nullptr;
        sqlite3_open(store.File().c_str(), &db);
        sqlite3_busy_timeout(db, 5000);
        // Takes the lock once the running record is in, and keeps it until kronax has ended.
        while (RecordStore(store.File()).Query({}).empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        while (!done)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    });
    const Outcome start = Kronax({"start", "--port", "COM1"});
    done = true;
    locker.join();
    EXPECT_EQ(start.code, 6);
    EXPECT_EQ(start.out, "Start aknowledged.\n");
    const auto lines = JsonLines(start.err.substr(0, start.err.find('\n') + 1));
    EXPECT_EQ(lines.at(0)["operation"], "start");
    EXPECT_EQ(lines.at(0)["board"]["serial_number"], "0815");
    EXPECT_THAT(start.err, HasSubstr("COM1: the record was not kept: "));
    EXPECT_EQ(store.All().at(0).Outcome(), "running");
}

} // namespace
} // namespace kronax::cli::testing
