// kronax-bench-window: the processor time the window spends per second of transfer while it reads
// the configuration again and again (Read Configuration, Ctrl+R) from the simulator pacing its
// answers at 9600 baud, on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise. Each
// round is a number of reads; the median round is reported.
//
// Usage: kronax-bench-window [--rounds N] [--reads N]   (defaults 12 and 5)

#include "app/KronaxWindow.h"
#include "bench/BenchMain.h"
#include "bench/BenchTable.h"
#include "bench/ProcessCpu.h"
#include "exchange/SteadyTickSource.h"
#include "form/KronaxConfigForm.h"
#include "sim/SimProcess.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace kronax::bench {
namespace {

const char* const Usage = "usage: kronax-bench-window [--rounds N] [--reads N]";

struct Options {
    int rounds = 12;
    int reads = 5;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc || std::atoi(argv[i + 1]) < 1)
            throw std::invalid_argument(Usage);
        if (arg == "--rounds")
            options.rounds = std::atoi(argv[++i]);
        else if (arg == "--reads")
            options.reads = std::atoi(argv[++i]);
        else
            throw std::invalid_argument(Usage);
    }
    return options;
}

double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Round {
    double wall = 0;
    double cpu = 0;
};

Round ReadRound(QAction& read, int reads) {
    const double wallBefore = WallSeconds();
    const double cpuBefore = ProcessCpuSeconds();
    for (int i = 0; i < reads; ++i)
        read.trigger();
    return {WallSeconds() - wallBefore, ProcessCpuSeconds() - cpuBefore};
}

int Run(const Options& options) {
    const sim::SimProcess board({"--pace"});
    qputenv("KRONAX_PORTS", QByteArray::fromStdString(board.Folder()));
    QTemporaryDir scratch;
    KronaxWindow window(
        FormEnvironment{scratch.filePath("settings.ini").toLocal8Bit().toStdString(),
                        std::make_shared<SteadyTickSource>()});
    window.show();
    QApplication::processEvents();
    window.Form().RunStartUp();
    auto* read = window.findChild<QAction*>("LoadConfigurationfromKronax1");
    if (!read)
        throw std::runtime_error("the window has no read item");

    std::vector<double> cpuPerSecond;
    std::vector<double> msPerRead;
    for (int i = 0; i < options.rounds; ++i) {
        const Round round = ReadRound(*read, options.reads);
        cpuPerSecond.push_back(round.cpu / round.wall);
        msPerRead.push_back(round.wall * 1000.0 / options.reads);
        QApplication::processEvents();
    }
    std::cout << "Repeated reads in the window against the paced simulator, platform "
              << qgetenv("QT_QPA_PLATFORM").toStdString() << "\n\n";
    BenchTable table({"rounds x reads", "CPU s per s, median", "max", "ms per read, median"});
    const Spread cpu = SpreadOf(cpuPerSecond);
    table.AddRow({std::to_string(options.rounds) + " x " + std::to_string(options.reads),
                  Fixed(cpu.median, 3), Fixed(cpu.max, 3), Fixed(SpreadOf(msPerRead).median, 1)});
    std::cout << table.Text();
    return 0;
}

} // namespace
} // namespace kronax::bench

int main(int argc, char** argv) {
    kronax::bench::PreferOffscreenPlatform();
    return kronax::bench::RunReportingErrors("kronax-bench-window", [&] {
        const kronax::bench::Options options = kronax::bench::ParseOptions(argc, argv);
        QApplication app(argc, argv);
        return kronax::bench::Run(options);
    });
}
