#include "records/RecordStore.h"
#include "records/RecordJson.h"
#include "records/RecordsLocation.h"
#include "tests/support/ScopedTempFile.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <latch>
#include <sys/stat.h>
#include <thread>

namespace kronax::records {
namespace {

using kronax::test::ScopedTempFile;

BoardRecord Sample(const std::string& id, std::int64_t started, const std::string& board,
                   const std::string& port = "COM1", const std::string& operation = "write",
                   int exitCode = 0) {
    BoardRecord record;
    record.id = id;
    record.startedMs = started;
    record.endedMs = started + 900;
    record.station = "line-3";
    record.user = "op";
    record.program = "kronax";
    record.version = "1.0";
    record.operation = operation;
    record.port = {port, "/dev/ttyUSB0", "0403", "6001", "A10K"};
    record.board = BoardIdentityFields{board, "0102", "0203", "0304"};
    record.filePath = "/tmp/a.kxcfg";
    record.fileSha256 = std::string(64, 'a');
    record.sent = RecordedPayloads{"000000000000", "0000", "0000", "0000", "00000", "10881"};
    record.before = RecordedPayloads{};
    record.exitCode = exitCode;
    record.errorCode = exitCode ? "write_not_acknowledged" : "";
    record.steps = {{"##SMSEN000000000000", "acknowledged", "!SMACK\r"}};
    record.traffic = {{0, "> ##SMSEN000000000000"}, {12, "< !SMACK \xB5"}};
    return record;
}

TEST(RecordJson, EveryFieldSurvivesTheJsonFormAndLatin1BytesBecomeUtf8) {
    const BoardRecord record = Sample("3f0c", 1765288424123,
                                      "08\xB5"
                                      "5");
    const nlohmann::ordered_json json = RecordToJson(record);
    EXPECT_EQ(json["board"]["serial_number"], "08\xC2\xB5"
                                              "5");
    EXPECT_EQ(json["outcome"], "ok");
    EXPECT_EQ(RecordFromJson(nlohmann::json::parse(json.dump())), record);
}

TEST(RecordStore, ARunningRecordIsReplacedWhenCompleteAndFoundByItsIdPrefix) {
    ScopedTempFile file("store.sqlite3");
    RecordStore store(file.Path());
    BoardRecord record = Sample("abcd-1", 1000, "0815");
    record.endedMs.reset();
    record.exitCode.reset();
    record.board.reset();
    store.Save(record);
    EXPECT_EQ(store.Find("abcd")->Outcome(), "running");
    record = Sample("abcd-1", 1000, "0815");
    store.Save(record);
    EXPECT_EQ(store.Find("abcd-1"), record);
    EXPECT_EQ(store.Query({.boardSerial = "0815"}).size(), 1u);
    store.Save(Sample("abcd-2", 2000, "0816"));
    EXPECT_THROW(store.Find("abcd"), ERecordStore);
    EXPECT_FALSE(store.Find("ffff"));
}

TEST(RecordStore, FiltersSelectNewestFirst) {
    ScopedTempFile file("store.sqlite3");
    RecordStore store(file.Path());
    store.Save(Sample("a", 1000, "0815", "COM1", "write"));
    store.Save(Sample("b", 2000, "0816", "COM1", "read"));
    store.Save(Sample("c", 3000, "0815", "COM2", "write", 1));
    store.Save(Sample("d", 4000, "0815", "COM2", "start"));
    const struct {
        RecordFilter filter;
        std::vector<std::string> ids;
    } cases[] = {
        {{}, {"d", "c", "b", "a"}},
        {{.boardSerial = "0815"}, {"d", "c", "a"}},
        {{.port = "COM1"}, {"b", "a"}},
        {{.operation = "write"}, {"c", "a"}},
        {{.sinceMs = 2000, .untilMs = 4000}, {"c", "b"}},
        {{.failedOnly = true}, {"c"}},
        {{.boardSerial = "0815", .limit = 2}, {"d", "c"}},
    };
    for (const auto& [filter, ids] : cases) {
        std::vector<std::string> found;
        for (const BoardRecord& record : store.Query(filter))
            found.push_back(record.id);
        EXPECT_EQ(found, ids);
    }
    EXPECT_EQ(store.PruneBefore(3000).deleted, 2u);
    EXPECT_EQ(store.Query({}).size(), 2u);
}

TEST(RecordStore, AStoreOfTheFirstSchemaIsMigratedWithItsRecordsKept) {
    ScopedTempFile file("store.sqlite3");
    const BoardRecord old = Sample("old-1", 1000, "0815");
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.Path().c_str(), &db), SQLITE_OK);
        MigrateRecordSchema(db, 1);
        const std::string insert =
            "INSERT INTO records (id, started_ms, ended_ms, station, operation, port, "
            "board_serial, file, exit_code, body) VALUES ('old-1', 1000, 1900, 'line-3', "
            "'write', 'COM1', '0815', NULL, 0, '" +
            RecordToJson(old).dump() + "')";
        ASSERT_EQ(sqlite3_exec(db, insert.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    RecordStore store(file.Path());
    EXPECT_EQ(store.FileSchemaVersion(), RecordStore::SchemaVersion);
    EXPECT_EQ(store.Query({.boardSerial = "0815"}), std::vector<BoardRecord>{old});
    EXPECT_EQ(store.IntegrityCheck(), "ok");
}

TEST(RecordStore, ANewStoreOpenedByFourAtOnceOpensForEachOfThem) {
    for (int round = 0; round < 20; ++round) {
        ScopedTempFile file("store.sqlite3");
        std::latch start(4);
        std::atomic<int> opened = 0;
        std::vector<std::jthread> openers;
        for (int opener = 0; opener < 4; ++opener)
            openers.emplace_back([&] {
                start.arrive_and_wait();
                try {
                    RecordStore store(file.Path());
                    ++opened;
                } catch (const ERecordStore& error) {
                    ADD_FAILURE() << error.what();
                }
            });
        openers.clear();
        ASSERT_EQ(opened, 4) << "round " << round;
        for (const char* suffix : {"-wal", "-shm"})
            std::filesystem::remove(file.Path() + suffix);
    }
}

TEST(RecordStore, EachFailureToOpenOrWriteIsRaisedWithItsKind) {
    ScopedTempFile file("store.sqlite3");
    const auto write = [](const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    };
    const auto failureOf = [&file](int busyTimeoutMs = 100) {
        try {
            RecordStore store(file.Path(), busyTimeoutMs);
            store.Save(Sample("x", 1, "0815"));
        } catch (const ERecordStore& error) {
            return error.Failure();
        }
        return StoreFailure::Other;
    };

    std::filesystem::create_directory(file.Path());
    EXPECT_EQ(failureOf(), StoreFailure::Unopenable) << "a folder";
    std::filesystem::remove(file.Path());

    write(file.Path(), std::string(4096, 'x'));
    EXPECT_EQ(failureOf(), StoreFailure::Corrupt) << "not a store";
    std::filesystem::remove(file.Path());

    { RecordStore store(file.Path()); }
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file.Path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA user_version = 99", nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(failureOf(), StoreFailure::Corrupt) << "a newer schema";
    ASSERT_EQ(
        sqlite3_exec(other, "PRAGMA user_version = 2; BEGIN IMMEDIATE", nullptr, nullptr, nullptr),
        0);
    EXPECT_EQ(failureOf(), StoreFailure::Busy) << "locked by another writer";
    sqlite3_close(other);
}

TEST(RecordsLocation, TheStoreFileFollowsTheEnvironment) {
    using Env = std::map<std::string, std::string>;
    const struct {
        Env env;
        bool windows;
        std::optional<std::string> file;
    } cases[] = {
        {{{"HOME", "/home/op"}}, false, "/home/op/.local/share/kronax/records.sqlite3"},
        {{{"HOME", "/home/op"}, {"XDG_DATA_HOME", "/data"}}, false, "/data/kronax/records.sqlite3"},
        {{{"HOME", "/h"}, {"XDG_DATA_HOME", ""}}, false, "/h/.local/share/kronax/records.sqlite3"},
        {{{"HOME", "/h"}, {"KRONAX_RECORDS", "/r/x.db"}}, false, "/r/x.db"},
        {{}, false, std::nullopt},
        {{{"LOCALAPPDATA", "C:/L"}}, true, "C:/L/kronax/records.sqlite3"},
        {{{"LOCALAPPDATA", "C:/L"}, {"KRONAX_RECORDS", "D:/r.db"}}, true, "D:/r.db"},
    };
    for (const auto& [env, windows, file] : cases) {
        const EnvironmentLookup lookup = [&env](const char* name) -> const char* {
            const auto found = env.find(name);
            return found == env.end() ? nullptr : found->second.c_str();
        };
        const auto found = windows ? WindowsRecordsFile(lookup) : PosixRecordsFile(lookup);
        EXPECT_EQ(found ? std::optional(found->generic_string()) : std::nullopt, file);
    }
}

TEST(RecordsLocation, ANewFolderAndFileAreTheUsersAlone) {
    ScopedTempFile folder("records");
    const std::filesystem::path file = std::filesystem::path(folder.Path()) / "kronax" / "r.db";
    PrepareRecordsFile(file);
    struct stat status {};
    ASSERT_EQ(stat(file.parent_path().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    std::filesystem::remove_all(folder.Path());
}

} // namespace
} // namespace kronax::records
