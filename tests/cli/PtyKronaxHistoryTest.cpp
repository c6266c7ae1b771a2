#include "tests/cli/CliHarness.h"
#include "tests/support/ScopedEnvironment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <set>

// kronax history as a user reads the records of the board operations: the list's filters, one
// record whole, and the export.
namespace kronax::cli::testing {
namespace {

using ::testing::HasSubstr;
using Clock = std::chrono::system_clock;

// time as UTC text in format (strftime's).
std::string Utc(Clock::time_point time, const char* format) {
    const std::time_t seconds = Clock::to_time_t(time);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, format, &utc);
    return text;
}

std::size_t LineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Three records in a store of the test's own: a start on COM1, a refused start on COM2, then a
// status on COM1, between the times before and after.
class PtyKronaxHistory : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Kronax({"start", "--port", "COM1"}).code, 0);
        ASSERT_EQ(Kronax({"start", "--port", "COM2"}).code, 1);
        ASSERT_EQ(Kronax({"status", "--port", "COM1"}).code, 0);
        after = Clock::now() + std::chrono::seconds(1);
    }

    std::vector<nlohmann::json> Listed(std::vector<std::string> args) {
        args.insert(args.begin(), "history");
        args.push_back("--json");
        const Outcome listed = Kronax(args);
        EXPECT_EQ(listed.code, 0) << listed.err;
        std::vector<nlohmann::json> records;
        for (const auto& object : JsonLines(listed.out))
            records.push_back(object["record"]);
        return records;
    }

    Scratch scratch;
    kronax::test::ScopedEnvironment store{"KRONAX_RECORDS", scratch.Path("records.sqlite3")};
    Boards boards{SimArgs{{}, {"--refuse", "##SMSTA"}}};
    // Whole seconds, as the shortest times the options take.
    const Clock::time_point before = Clock::now() - std::chrono::seconds(1);
    Clock::time_point after;
};

TEST_F(PtyKronaxHistory, SinceUntilAndFailedChooseTheRecordsInEveryFormOfTime) {
    const std::string seconds = "%Y-%m-%dT%H:%M:%SZ";
    const auto tomorrow = after + std::chrono::hours(24);
    const struct {
        std::vector<std::string> args;
        std::size_t count;
    } cases[] = {
        {{}, 3},
        {{"--since", Utc(before, seconds.c_str())}, 3},
        {{"--since", Utc(after, seconds.c_str())}, 0},
        {{"--until", Utc(after, seconds.c_str())}, 3},
        {{"--until", Utc(before, seconds.c_str())}, 0},
        {{"--since", Utc(before, "%Y-%m-%d %H:%M")}, 3},
        {{"--until", Utc(before, "%Y-%m-%d %H:%M")}, 0},
        {{"--since", Utc(tomorrow, "%Y-%m-%d")}, 0},
        {{"--until", Utc(tomorrow, "%Y-%m-%d")}, 3},
        {{"--failed"}, 1},
        {{"--failed", "--until", Utc(before, seconds.c_str())}, 0},
    };
    for (const auto& c : cases) {
        const std::string args = ::testing::PrintToString(c.args);
        EXPECT_EQ(Listed(c.args).size(), c.count) << args;
        std::vector<std::string> asText = {"history"};
        asText.insert(asText.end(), c.args.begin(), c.args.end());
        EXPECT_EQ(LineCount(Kronax(asText).out), c.count) << args << " as text";
    }
    const auto failed = Listed({"--failed"});
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0]["port"]["name"], "COM2");
    EXPECT_EQ(failed[0]["outcome"], "failed");
}

TEST_F(PtyKronaxHistory, ShowPrintsOneRecordWholeByTheStartOfItsId) {
    const auto failed = Listed({"--failed"});
    ASSERT_EQ(failed.size(), 1u);
    const std::string id = failed[0]["id"];
    const Outcome shown = Kronax({"history", "show", id.substr(0, 8)});
    EXPECT_EQ(shown.code, 0) << shown.err;
    EXPECT_THAT(shown.out, HasSubstr("id: " + id + "\n"));
    EXPECT_THAT(shown.out,
                HasSubstr("exit code: 1 (not_as_asked)\nstep: ##SMSTA -> not_acknowledged\n"));
    EXPECT_THAT(shown.out, HasSubstr(" ms  ##SMSTA\\r | !SMNCK\\r\n"));
    const auto json = JsonLines(Kronax({"history", "show", id, "--json"}).out);
    ASSERT_EQ(json.size(), 1u);
    EXPECT_EQ(json[0]["record"], failed[0]);

    const Outcome unknown = Kronax({"history", "show", "ffffffffffff"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_EQ(unknown.err, "kronax history: no record ffffffffffff\n");
}

TEST_F(PtyKronaxHistory, ExportWritesEveryRecordAsJsonLinesOrCsv) {
    std::set<std::string> ids;
    for (const auto& record : Listed({}))
        ids.insert(record["id"].get<std::string>());
    ASSERT_EQ(ids.size(), 3u);

    const Outcome jsonl = Kronax({"history", "export", "--format", "jsonl"});
    EXPECT_EQ(jsonl.code, 0) << jsonl.err;
    std::set<std::string> exported;
    for (const auto& record : JsonLines(jsonl.out))
        exported.insert(record["id"].get<std::string>());
    EXPECT_EQ(exported, ids);

    const std::string file = scratch.Path("records.csv");
    EXPECT_EQ(Kronax({"history", "export", "--format", "csv", "--output", file}).code, 0);
    const std::string csv = ReadFileText(file);
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "id,started_utc,ended_utc,station,user,port,port_path,"
                                             "board_serial,operation,outcome,exit_code,error_code,"
                                             "file,file_sha256");
    EXPECT_EQ(LineCount(csv), 1 + ids.size());
    for (const std::string& id : ids)
        EXPECT_THAT(csv, HasSubstr("\n" + id + ",")) << id;
}

} // namespace
} // namespace kronax::cli::testing
