#include "cli/ExitCode.h"
#include "records/server/PgConnection.h"
#include "records/server/RecordServer.h"
#include "sim/SilentListener.h"
#include "tests/cli/CliHarness.h"
#include "tests/support/HangLimit.h"
#include "tests/support/PostgresSuite.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

namespace kronax::cli::testing {
namespace {

using kronax::test::ScopedEnvironment;

// One station: its own record store and name, forwarding to server.
struct Station {
    Station(const Scratch& scratch, const std::string& name, const std::string& server)
        : records("KRONAX_RECORDS", scratch.Path(name + ".sqlite3")),
          station("KRONAX_STATION", name), target("KRONAX_RECORDS_SERVER", server) {}
    ScopedEnvironment records, station, target;
};

class PtyKronaxRecordsServer : public test::PostgresSuite {
protected:
    // A new database name with the records schema, changed by sql; its connection string.
    static std::string Database(const std::string& name, const std::string& sql) {
        const auto soon = [] {
            return records::ServerClock::now() + std::chrono::seconds(30);
        };
        records::PgConnection admin(postgres_->SocketConnection(), soon());
        admin.Run("DROP DATABASE IF EXISTS " + name, {}, soon());
        admin.Run("CREATE DATABASE " + name, {}, soon());
        const std::string conninfo = postgres_->SocketConnection() + " dbname=" + name;
        records::PgConnection connection(conninfo, soon());
        records::RecordServer(connection).InitSchema(soon());
        connection.Run(sql, {}, soon());
        return conninfo;
    }

    Scratch scratch_;
};

TEST_F(PtyKronaxRecordsServer, TwoStationsForwardTheirWritesAndAreQueriedFromTheServer) {
    Boards boards(1);
    const std::string file = boards.File("board.kxcfg");
    {
        Station lineA(scratch_, "line-A", postgres_->SocketConnection());
        ASSERT_EQ(Kronax({"history", "init-server"}).code, 0);
        ASSERT_EQ(Kronax({"read", "--port", "COM1", "--output", file}).code, 0);
        ASSERT_EQ(Kronax({"write", "--port", "COM1", file}).code, 0);
    }
    Station lineB(scratch_, "line-B", postgres_->TcpConnection());
    const Outcome write = Kronax({"write", "--port", "COM1", file});
    ASSERT_EQ(write.code, 0) << write.err;
    EXPECT_EQ(write.err, "");
    EXPECT_EQ(Kronax({"history", "--queued"}).out,
              "0 records wait to be forwarded to 127.0.0.1:" + std::to_string(postgres_->Port()) +
                  "/postgres.\n");

    const auto stations = [](const std::vector<std::string>& filter) {
        std::vector<std::string> args = {"history", "--server", "--json"};
        args.insert(args.end(), filter.begin(), filter.end());
        std::vector<std::string> found;
        for (const auto& line : JsonLines(Kronax(args).out))
            found.push_back(line["record"]["station"].get<std::string>() + " " +
                            line["record"]["operation"].get<std::string>());
        std::sort(found.begin(), found.end());
        return found;
    };
    EXPECT_EQ(stations({}),
              (std::vector<std::string>{"line-A read", "line-A write", "line-B write"}));
    EXPECT_EQ(stations({"--operation", "write"}),
              (std::vector<std::string>{"line-A write", "line-B write"}));
    EXPECT_EQ(stations({"--station", "line-B"}), (std::vector<std::string>{"line-B write"}));
    const Outcome csv = Kronax({"history", "--server", "--csv", "--station", "line-A"});
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 3) << csv.out;
}

// Each way the server can be away: the board's operation ends as it would, its record waits, and
// one line says why, without the password.
TEST_F(PtyKronaxRecordsServer, AServerAwayLeavesTheOperationAndSaysWhyInOneLine) {
    Boards boards(1);
    const sim::SilentListener hanging;
    const struct {
        const char* name;
        std::string server;
        const char* reason;
    } cases[] = {
        {"stopped", "host=" + scratch_.Path("nowhere") + " dbname=postgres user=kronax",
         "cannot reach the records server"},
        {"hanging", "host=127.0.0.1 dbname=k user=k port=" + std::to_string(hanging.Port()),
         "did not answer in time"},
        {"wrong password", postgres_->TcpConnection("not-the-password-7"),
         "password authentication failed"},
        {"a schema version in words",
         Database("hostile", "ALTER TABLE kronax_schema ALTER version TYPE text; "
                             "UPDATE kronax_schema SET version = 'one'"),
         "has a schema version that is not one: 'one'"},
        {"another program's table",
         Database("foreign_table", "DROP TABLE kronax_records; CREATE TABLE kronax_records "
                                   "(id integer, note text)"),
         "is not the records schema's"},
    };
    const Outcome alone = [&] {
        Station station(scratch_, "alone", "");
        return Kronax({"status", "--port", "COM1"});
    }();
    for (const auto& sample : cases) {
        Station station(scratch_, sample.name, sample.server);
        const Outcome status = Kronax({"status", "--port", "COM1"});
        EXPECT_EQ(status.code, alone.code) << sample.name;
        EXPECT_EQ(status.out, alone.out) << sample.name;
        EXPECT_EQ(std::count(status.err.begin(), status.err.end(), '\n'), 1) << status.err;
        EXPECT_NE(status.err.find(sample.reason), std::string::npos) << status.err;
        EXPECT_NE(status.err.find("1 record waits"), std::string::npos) << status.err;
        EXPECT_EQ(status.err.find("not-the-password-7"), std::string::npos) << status.err;
        const Outcome sync = Kronax({"history", "sync"});
        EXPECT_EQ(sync.code, ExitServerError) << sample.name;
        EXPECT_NE(sync.out.find("1 waiting"), std::string::npos) << sync.out;
    }
}

TEST_F(PtyKronaxRecordsServer, AServersHostileContentIsAnErrorOfHistoryServerNotAnAbort) {
    Station station(scratch_, "line-H",
                    Database("hostile", "ALTER TABLE kronax_schema ALTER version TYPE bigint; "
                                        "UPDATE kronax_schema SET version = 99999999999"));
    const Outcome outcome = Kronax({"history", "--server"});
    EXPECT_EQ(outcome.code, ExitServerError);
    EXPECT_NE(outcome.err.find("not one: '99999999999'"), std::string::npos) << outcome.err;
}

// A record the server refuses for what it holds is set aside: said once, named by --queued, and
// no later sync fails for it.
TEST_F(PtyKronaxRecordsServer, ARecordTheServerRefusesIsSetAsideNamedAndNoLaterSyncFails) {
    Boards boards(1);
    Station station(scratch_, "line-R",
                    Database("plant_rule", "ALTER TABLE kronax_records ADD CONSTRAINT no_info "
                                           "CHECK (operation <> 'info')"));
    const Outcome info = Kronax({"info", "--port", "COM1"});
    EXPECT_EQ(info.code, 0);
    EXPECT_NE(info.err.find("1 record set aside"), std::string::npos) << info.err;
    const Outcome queued = Kronax({"history", "--queued"});
    const auto records = JsonLines(Kronax({"history", "--json"}).out);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NE(queued.out.find("1 record is set aside"), std::string::npos) << queued.out;
    EXPECT_NE(queued.out.find(records[0]["record"]["id"].get<std::string>()), std::string::npos)
        << queued.out;
    EXPECT_NE(queued.out.find("no_info"), std::string::npos) << queued.out;
    EXPECT_EQ(Kronax({"status", "--port", "COM1"}).err, "");
    const Outcome sync = Kronax({"history", "sync"});
    EXPECT_EQ(sync.code, 0) << sync.err;
    EXPECT_EQ(Kronax({"history", "prune", "--before", "2999-01-01"}).out,
              "Pruned 1 records started before 2999-01-01 00:00:00 UTC; kept 1 not yet "
              "forwarded to the records server (--include-unforwarded deletes them).\n");
}

TEST_F(PtyKronaxRecordsServer, RecordsQueuedWhileTheServerWasStoppedAreSyncedOnceAfterwards) {
    Boards boards(1);
    Station station(scratch_, "line-C", postgres_->SocketConnection());
    ASSERT_EQ(Kronax({"history", "init-server"}).code, 0);
    postgres_->Stop();
    const Outcome away = Kronax({"status", "--port", "COM1"});
    Kronax({"info", "--port", "COM1"});
    postgres_->Start();
    EXPECT_EQ(away.code, 0);
    EXPECT_EQ(Kronax({"history", "--queued"}).out.substr(0, 17), "2 records wait to");
    const Outcome sync = Kronax({"history", "sync"});
    EXPECT_EQ(sync.code, 0) << sync.err;
    EXPECT_EQ(Kronax({"history", "sync"}).out.substr(0, 19), "Forwarded 0 records");
    EXPECT_EQ(
        JsonLines(Kronax({"history", "--server", "--json", "--station", "line-C"}).out).size(), 2u);
}

// The test begins making the schema's version table itself and keeps it uncommitted until both
// stations wait on a lock, so that they run at once; then it gives way.
TEST_F(PtyKronaxRecordsServer, TwoStationsRunningInitServerAtOnceMakeTheSchemaOnce) {
    using records::PgConnection;
    const auto soon = [] {
        return records::ServerClock::now() + std::chrono::seconds(30);
    };
    {
        PgConnection admin(postgres_->SocketConnection(), soon());
        admin.Run("DROP DATABASE IF EXISTS init_at_once", {}, soon());
        admin.Run("CREATE DATABASE init_at_once", {}, soon());
    }
    const std::string server = postgres_->SocketConnection() + " dbname=init_at_once";
    Station station(scratch_, "line-D", server);
    PgConnection holder(server, soon());
    holder.Run("BEGIN", {}, soon());
    holder.Run("CREATE TABLE kronax_schema (version integer NOT NULL)", {}, soon());
    std::vector<std::unique_ptr<KronaxProcess>> stations;
    for (const char* name : {"first", "second"})
        stations.push_back(std::make_unique<KronaxProcess>("history init-server >" +
                                                           scratch_.Path(name) + " 2>&1"));
    const auto waiting = [&] {
        return holder.Run("SELECT count(*) FROM pg_locks WHERE NOT granted", {}, soon())
            .at(0)
            .at(0)
            .value_or("");
    };
    const auto end = std::chrono::steady_clock::now() + kronax::test::HangLimit;
    while (waiting() != "2" && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(waiting(), "2");
    holder.Run("ROLLBACK", {}, soon());
    std::vector<std::string> said;
    for (std::size_t index = 0; index < stations.size(); ++index) {
        EXPECT_EQ(stations[index]->Wait(), 0);
        const std::string out = ReadFileText(scratch_.Path(index == 0 ? "first" : "second"));
        said.push_back(out.substr(std::min(out.find(" (it had "), out.size())));
    }
    std::sort(said.begin(), said.end());
    EXPECT_EQ(said, (std::vector<std::string>{" (it had 0).\n", " (it had 1).\n"}));
}

} // namespace
} // namespace kronax::cli::testing
