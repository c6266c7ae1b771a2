// How the time kronax takes grows with the number of boards: N paced simulators (every byte at
// the 9600-baud rate), one "kronax write" of one file to all of them and one "kronax read" of
// all of them, each run in-process Repeats times. Prints the median wall time against N = 1 and
// the median CPU seconds of the kronax process (the simulators' own CPU time is not counted).
#include "bench/BenchTable.h"
#include "bench/ProcessCpu.h"
#include "cli/ConfigFiles.h"
#include "cli/KronaxCommand.h"
#include "protocol/ConfigurationSnapshot.h"
#include "sim/ScratchFolder.h"
#include "sim/SimProcess.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace kronax;

struct Measurement {
    double wall = 0;
    double cpu = 0;
    int exitCode = 0;
};

constexpr int Repeats = 5;

Measurement TimeOnce(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const double cpuBefore = bench::ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    Measurement m;
    m.exitCode = cli::RunKronax(args, out, err);
    m.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.cpu = bench::ProcessCpuSeconds() - cpuBefore;
    if (m.exitCode != 0)
        std::cerr << err.str();
    return m;
}

Measurement Time(const std::vector<std::string>& args) {
    std::vector<double> walls;
    std::vector<double> cpus;
    Measurement median;
    for (int run = 0; run < Repeats; ++run) {
        const Measurement once = TimeOnce(args);
        walls.push_back(once.wall);
        cpus.push_back(once.cpu);
        median.exitCode = std::max(median.exitCode, once.exitCode);
    }
    median.wall = bench::SpreadOf(walls).median;
    median.cpu = bench::SpreadOf(cpus).median;
    return median;
}

ConfigurationSnapshot BenchSnapshot() {
    ConfigurationSnapshot s = StartSnapshot();
    s.configuration = {
        .CountsPerRev = 900, .Multiplier = 4, .Divider = 3, .Alpha = 15, .Beta = 200};
    s.Selected(Selection::SensorType) = sensor_type::MotionEncoder;
    s.Selected(Selection::EncoderMode) = 2;
    return s;
}

} // namespace

int main() {
    const std::string scratch = sim::NewScratchFolder("kronax-cli-bench");
    const std::string file = scratch + "/bench.kxcfg";
    cli::SaveConfigFile(file, BenchSnapshot(), true);

    bench::BenchTable table({"boards", "write s", "write vs N=1", "write CPU s", "read s",
                             "read vs N=1", "read CPU s"});
    Measurement firstWrite;
    Measurement firstRead;
    int worst = 0;
    for (int count : {1, 2, 4, 8}) {
        const sim::SimBoards boards(
            scratch + "/ports",
            std::vector<std::vector<std::string>>(static_cast<std::size_t>(count), {"--pace"}));
        setenv("KRONAX_PORTS", boards.Folder().c_str(), 1);
        const Measurement write = Time({"write", "--port", boards.PortList(), file});
        const Measurement read = Time({"read", "--port", boards.PortList()});
        if (count == 1) {
            firstWrite = write;
            firstRead = read;
        }
        worst = std::max(worst, std::max(write.exitCode, read.exitCode));
        table.AddRow({std::to_string(count), bench::Fixed(write.wall, 3),
                      bench::Fixed(write.wall / firstWrite.wall, 2), bench::Fixed(write.cpu, 3),
                      bench::Fixed(read.wall, 3), bench::Fixed(read.wall / firstRead.wall, 2),
                      bench::Fixed(read.cpu, 3)});
    }
    fs::remove_all(scratch);
    std::cout << "kronax write and read over N paced simulators\n" << table.Text();
    return worst;
}
