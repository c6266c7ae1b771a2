// What keeping records costs. The cost of one record: "kronax status" on a board that answers at
// once, with and without --no-record (status asks no identity, so the difference is the store's
// alone). 32 paced boards written at once with records against one. "kronax history --board" on a
// store of 100,000 records of 1000 boards. Medians of in-process runs; CPU of the whole process.
#include "bench/BenchTable.h"
#include "bench/ProcessCpu.h"
#include "cli/ConfigFiles.h"
#include "cli/KronaxCommand.h"
#include "protocol/ConfigurationSnapshot.h"
#include "records/RecordStore.h"
#include "sim/ScratchFolder.h"
#include "sim/SimProcess.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace kronax;

struct Median {
    double wallMs = 0;
    double cpuMs = 0;
};

Median Time(const std::vector<std::string>& args, int repeats) {
    std::vector<double> walls;
    std::vector<double> cpus;
    for (int run = 0; run < repeats; ++run) {
        std::ostringstream out;
        std::ostringstream err;
        const double cpuBefore = bench::ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        if (cli::RunKronax(args, out, err) != 0)
            std::cerr << err.str();
        walls.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        cpus.push_back((bench::ProcessCpuSeconds() - cpuBefore) * 1000);
    }
    return {bench::SpreadOf(walls).median, bench::SpreadOf(cpus).median};
}

records::BoardRecord FillerRecord(int index) {
    records::BoardRecord record;
    record.id = "filler-" + std::to_string(index);
    record.startedMs = 1700000000000 + index * 1000LL;
    record.endedMs = record.startedMs + 900;
    record.station = "line-3";
    record.program = "kronax";
    record.operation = "write";
    record.port.name = "COM" + std::to_string(index % 8 + 1);
    record.board =
        records::BoardIdentityFields{std::to_string(1000 + index % 1000), "P1.2", "F2.1", "U1.7"};
    record.exitCode = 0;
    record.traffic.assign(13, {5, "##SMSEN010100000000\\r | !SMACK\\r"});
    return record;
}

} // namespace

int main() {
    const std::string scratch = sim::NewScratchFolder("kronax-records-bench");
    setenv("KRONAX_RECORDS", (scratch + "/records.sqlite3").c_str(), 1);
    bench::BenchTable table({"measure", "wall ms", "CPU ms"});

    {
        const sim::SimBoards board(scratch + "/ports1", std::vector<std::vector<std::string>>(1));
        setenv("KRONAX_PORTS", board.Folder().c_str(), 1);
        const Median bare = Time({"status", "--port", "COM1", "--no-record"}, 200);
        const Median recorded = Time({"status", "--port", "COM1"}, 200);
        table.AddRow(
            {"status, --no-record", bench::Fixed(bare.wallMs, 2), bench::Fixed(bare.cpuMs, 2)});
        table.AddRow({"status, recorded", bench::Fixed(recorded.wallMs, 2),
                      bench::Fixed(recorded.cpuMs, 2)});
        table.AddRow({"record cost", bench::Fixed(recorded.wallMs - bare.wallMs, 2),
                      bench::Fixed(recorded.cpuMs - bare.cpuMs, 2)});
    }

    const std::string file = scratch + "/bench.kxcfg";
    cli::SaveConfigFile(file, StartSnapshot(), true);
    Median one;
    for (const std::size_t count : {std::size_t{1}, std::size_t{32}}) {
        const sim::SimBoards boards(scratch + "/ports" + std::to_string(count),
                                    std::vector<std::vector<std::string>>(count, {"--pace"}));
        setenv("KRONAX_PORTS", boards.Folder().c_str(), 1);
        const Median write = Time({"write", "--port", boards.PortList(), file, "-q"}, 3);
        if (count == 1)
            one = write;
        table.AddRow({"write, " + std::to_string(count) + " paced boards, recorded",
                      bench::Fixed(write.wallMs, 1), bench::Fixed(write.cpuMs, 1)});
        if (count == 32)
            table.AddRow({"32 boards vs 1 (wall)", bench::Fixed(write.wallMs / one.wallMs, 3), ""});
    }

    const std::string large = scratch + "/large.sqlite3";
    {
        records::RecordStore store(large);
        for (int index = 0; index < 100000; ++index)
            store.Save(FillerRecord(index));
    }
    setenv("KRONAX_RECORDS", large.c_str(), 1);
    const Median history = Time({"history", "--board", "1042"}, 20);
    table.AddRow({"history --board, 100,000 records", bench::Fixed(history.wallMs, 2),
                  bench::Fixed(history.cpuMs, 2)});

    fs::remove_all(scratch);
    std::cout << "kronax with records\n" << table.Text();
    return 0;
}
