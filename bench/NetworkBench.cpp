// What a network serial server in front of the board costs: one six-command "kronax read" of a
// paced simulator (every byte at the 9600-baud rate) over its local pseudo-terminal, over
// ser2net on the loopback address with RFC 2217 and with raw TCP, then the same read of 16 such
// boards at once against one; ser2net with its defaults and without its wait for more characters
// (chardelay). Each run in-process Repeats times; prints median (and least) wall times.
#include "bench/BenchTable.h"
#include "cli/KronaxCommand.h"
#include "sim/Ser2netProcess.h"
#include "sim/SimProcess.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace kronax;

constexpr int Repeats = 15;
constexpr auto PauseBetweenRuns = std::chrono::milliseconds(300);
constexpr std::size_t ManyBoards = 16;

// The wall seconds of Repeats reads of ports; worst receives the highest exit code.
bench::Spread TimeReads(const std::string& ports, int& worst) {
    std::vector<double> walls;
    for (int run = 0; run < Repeats; ++run) {
        // ser2net closes the device some time after a client leaves and holds the next client
        // until then: a pause keeps that out of the next run, as between runs by hand.
        std::this_thread::sleep_for(PauseBetweenRuns);
        std::ostringstream out;
        std::ostringstream err;
        const auto start = std::chrono::steady_clock::now();
        const int code = cli::RunKronax({"read", "--port", ports}, out, err);
        walls.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (code != 0)
            std::cerr << err.str();
        worst = std::max(worst, code);
    }
    return bench::SpreadOf(walls);
}

std::vector<std::string> DevicesOf(const std::string& folder, std::size_t count) {
    std::vector<std::string> devices;
    for (std::size_t number = 1; number <= count; ++number)
        devices.push_back(fs::read_symlink(folder + "/COM" + std::to_string(number)).string());
    return devices;
}

} // namespace

int main() {
    const std::string folder =
        (fs::temp_directory_path() / ("kronax-net-bench-" + std::to_string(getpid()))).string();
    const sim::SimBoards boards(folder,
                                std::vector<std::vector<std::string>>(ManyBoards, {"--pace"}));
    setenv("KRONAX_PORTS", boards.Folder().c_str(), 1);
    const std::vector<std::string> devices = DevicesOf(boards.Folder(), ManyBoards);
    int worst = 0;

    const bench::Spread pty = TimeReads("COM1", worst);
    bench::BenchTable single({"port", "median s", "vs pty", "min s", "vs pty"});
    auto addSingle = [&](const std::string& port, const bench::Spread& spread) {
        single.AddRow({port, bench::Fixed(spread.median, 3),
                       bench::Fixed(spread.median / pty.median, 2), bench::Fixed(spread.min, 3),
                       bench::Fixed(spread.min / pty.min, 2)});
    };
    addSingle("COM1 (pty)", pty);
    const std::string boardCount = std::to_string(ManyBoards);
    bench::BenchTable many(
        {"form", "1 board median s", boardCount + " boards median s", boardCount + " vs 1"});
    for (bool charDelay : {true, false}) {
        for (bool rfc2217 : {true, false}) {
            const sim::Ser2netProcess server(devices, rfc2217, charDelay);
            const bench::Spread one = TimeReads(server.Url(), worst);
            const bench::Spread all = TimeReads(server.UrlList(), worst);
            const std::string form = std::string(rfc2217 ? "rfc2217://" : "socket://") +
                                     (charDelay ? "" : ", chardelay off");
            addSingle(form, one);
            many.AddRow({form, bench::Fixed(one.median, 3), bench::Fixed(all.median, 3),
                         bench::Fixed(all.median / one.median, 2)});
        }
    }
    std::cout << "kronax read of a paced simulator, local and behind ser2net on 127.0.0.1\n"
              << single.Text() << "\nkronax read of " << ManyBoards
              << " paced simulators behind one ser2net at once\n"
              << many.Text();
    return worst;
}
