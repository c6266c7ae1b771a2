// What forwarding records to a records server costs: the wall time of one "kronax status" on a
// simulator with no server named, with a reachable server (Unix socket, and TCP with a
// password), with a stopped one and with one that accepts and never answers (each the median of
// Repeats runs), and the time a sync takes to forward 10,000 queued records. The server is a
// PostgreSQL of the benchmark's own.
#include "bench/BenchTable.h"
#include "cli/KronaxCommand.h"
#include "records/RecordStore.h"
#include "records/server/PgConnection.h"
#include "records/server/RecordForwarder.h"
#include "records/server/RecordServer.h"
#include "sim/PostgresProcess.h"
#include "sim/SilentListener.h"
#include "sim/SimProcess.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace kronax;
using Clock = std::chrono::steady_clock;

constexpr int Repeats = 9;
constexpr int SyncRecords = 10000;

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double MedianStatusSeconds(const std::string& port) {
    std::vector<double> walls;
    for (int run = 0; run < Repeats; ++run) {
        std::ostringstream out, err;
        const auto start = Clock::now();
        cli::RunKronax({"status", "--port", port}, out, err);
        walls.push_back(Seconds(start));
    }
    return bench::SpreadOf(walls).median;
}

std::size_t OnServer(const std::string& server) {
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    records::PgConnection connection(server, deadline);
    return std::stoul(
        connection.Run("SELECT count(*) FROM kronax_records", {}, deadline).at(0).at(0).value());
}

records::BoardRecord QueuedRecord(int index) {
    records::BoardRecord record;
    record.id = "bench-" + std::to_string(index);
    record.startedMs = 1765288424000 + index;
    record.endedMs = record.startedMs + 900;
    record.station = "bench";
    record.program = "kronax";
    record.operation = "write";
    record.port.name = "COM1";
    record.board = records::BoardIdentityFields{std::to_string(index), "P1", "F2", "U1.7"};
    record.sent =
        records::RecordedPayloads{"000000000000", "0000", "0000", "0000", "00000", "10881"};
    record.exitCode = 0;
    for (int line = 0; line < 14; ++line)
        record.traffic.push_back({line * 20, "> ##SMSEN000000000000"});
    return record;
}

} // namespace

int main() {
    const std::string scratch =
        (fs::temp_directory_path() / ("kronax-server-bench-" + std::to_string(getpid()))).string();
    fs::create_directories(scratch);
    sim::PostgresProcess postgres;
    const std::string server = postgres.SocketConnection();
    {
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        records::PgConnection connection(server, deadline);
        records::RecordServer(connection).InitSchema(deadline);
    }
    const sim::SimBoards boards(scratch + "/ports", std::vector<std::vector<std::string>>(1));
    setenv("KRONAX_PORTS", boards.Folder().c_str(), 1);
    const sim::SilentListener hanging;

    bench::BenchTable table({"server", "status s", "added ms", "queued after", "on server"});
    double alone = 0;
    const struct {
        const char* name;
        std::string connection;
        bool reachable;
    } cases[] = {
        {"none named", "", false},
        {"reachable", server, true},
        {"reachable over TCP", postgres.TcpConnection(), true},
        {"stopped", "host=" + scratch + " port=1 dbname=postgres user=kronax", false},
        {"hanging", "host=127.0.0.1 dbname=k user=k port=" + std::to_string(hanging.Port()), false},
    };
    for (const auto& sample : cases) {
        const std::string store = scratch + "/" + sample.name + ".sqlite3";
        setenv("KRONAX_RECORDS", store.c_str(), 1);
        setenv("KRONAX_RECORDS_SERVER", sample.connection.c_str(), 1);
        const double wall = MedianStatusSeconds(boards.PortList());
        if (sample.connection.empty())
            alone = wall;
        records::RecordStore records(store);
        table.AddRow({sample.name, bench::Fixed(wall, 3), bench::Fixed((wall - alone) * 1000, 1),
                      std::to_string(records.QueuedCount()),
                      sample.reachable ? std::to_string(OnServer(sample.connection)) : "-"});
    }
    std::cout << "kronax status on one simulator, forwarding its record\n" << table.Text();

    records::RecordStore spool(scratch + "/sync.sqlite3");
    for (int index = 0; index < SyncRecords; ++index)
        spool.Save(QueuedRecord(index));
    const auto start = Clock::now();
    const records::ForwardReport report =
        records::ForwardQueued(spool, server, records::SyncLimits);
    const double took = Seconds(start);
    bench::BenchTable sync({"records", "sync s", "forwarded", "still queued"});
    sync.AddRow({std::to_string(SyncRecords), bench::Fixed(took, 2),
                 std::to_string(report.forwarded), std::to_string(report.queued)});
    std::cout << "\nsync of queued records\n" << sync.Text();
    fs::remove_all(scratch);
    return report.failure ? 1 : 0;
}
