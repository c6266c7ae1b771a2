// kronax-bench-paint: how long the window takes from the start of its program to its first paint,
// against a bare Qt main window, on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise
// (under Xvfb, QT_QPA_PLATFORM=xcb shows it on a real display). Each window is made in a program
// of its own, started afresh for every run, as the operator starts the program: with no port,
// from a working folder of many files, and with a board that never answers on the remembered
// port.
//
// Usage: kronax-bench-paint [--repetitions N] [--files N] [--silent-runs N]
//   --repetitions N   programs started per case (default 15), median reported
//   --files N         entries of the crowded working folder (default 1400)
//   --silent-runs N   programs started against the silent board (default 3; 0 skips it)

#include "app/KronaxWindow.h"
#include "bench/BenchMain.h"
#include "bench/BenchTable.h"
#include "exchange/SteadyTickSource.h"
#include "form/KronaxConfigForm.h"
#include "sim/SimProcess.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

namespace kronax::bench {
namespace {

using Clock = std::chrono::steady_clock;

// A bound against a window that never paints; it is not part of any figure.
constexpr int PaintDeadlineMs = 60000;
const char* const Usage =
    "usage: kronax-bench-paint [--repetitions N] [--files N] [--silent-runs N]";

struct Options {
    int repetitions = 15;
    int files = 1400;
    int silentRuns = 3;
    // Set in a program started by the benchmark: "bare" or a settings file for the window.
    std::string child;
};

int Count(int argc, char** argv, int& i) {
    if (i + 1 >= argc || std::atoi(argv[i + 1]) < 0)
        throw std::invalid_argument(Usage);
    return std::atoi(argv[++i]);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--repetitions")
            options.repetitions = std::max(1, Count(argc, argv, i));
        else if (arg == "--files")
            options.files = Count(argc, argv, i);
        else if (arg == "--silent-runs")
            options.silentRuns = Count(argc, argv, i);
        else if (arg == "--child" && i + 1 < argc)
            options.child = argv[++i];
        else
            throw std::invalid_argument(Usage);
    }
    return options;
}

std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

// Ends the wait at the window's first paint and notes when it came.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget& window, QEventLoop& loop) : loop_(loop) { window.installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && painted == 0) {
            painted = Now();
            loop_.quit();
        }
        return QObject::eventFilter(watched, event);
    }

    std::int64_t painted = 0;

private:
    QEventLoop& loop_;
};

// The program as the benchmark starts it: makes the window as main does, prints the steady
// clock's reading at its first paint and ends at once, whatever the window would do next.
int RunChild(int argc, char** argv, const std::string& settingsFile) {
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window;
    if (settingsFile == "bare") {
        window = std::make_unique<QMainWindow>();
        window->resize(721, 390);
    } else {
        window = std::make_unique<KronaxWindow>(
            FormEnvironment{settingsFile, std::make_shared<SteadyTickSource>()});
    }
    QEventLoop loop;
    FirstPaint paint(*window, loop);
    window->show();
    QTimer::singleShot(PaintDeadlineMs, &loop, &QEventLoop::quit);
    if (paint.painted == 0)
        loop.exec();
    std::cout << paint.painted << std::endl;
    std::_Exit(paint.painted == 0 ? 1 : 0);
}

// Milliseconds from starting the program to the first paint of its window.
double TimeFirstPaint(const std::string& program, const std::string& child) {
    const std::string command = "'" + program + "' --child '" + child + "' 2>/dev/null";
    const std::int64_t start = Now();
    FILE* output = popen(command.c_str(), "r");
    if (!output)
        throw std::runtime_error("cannot start " + program);
    long long painted = 0;
    const bool read = std::fscanf(output, "%lld", &painted) == 1;
    if (pclose(output) != 0 || !read || painted == 0)
        throw std::runtime_error("the window of '" + child + "' never painted");
    return static_cast<double>(painted - start) / 1e6;
}

Spread TimeCase(const std::string& program, const std::string& child, int runs) {
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i)
        samples.push_back(TimeFirstPaint(program, child));
    return SpreadOf(samples);
}

void AddRow(BenchTable& table, const std::string& name, int runs, const Spread& spread,
            double bare) {
    table.AddRow({name, std::to_string(runs), Fixed(spread.median, 1), Fixed(spread.max, 1),
                  Fixed(spread.median / bare, 2)});
}

int Run(const std::string& program, const Options& options) {
    QTemporaryDir scratch;
    const std::string settingsFile = scratch.filePath("settings.ini").toLocal8Bit().toStdString();
    QDir(scratch.path()).mkpath("no-ports");
    QDir(scratch.path()).mkpath("crowded");
    for (int i = 0; i < options.files; ++i)
        std::ofstream(
            scratch.filePath("crowded/entry-%1.kxcfg").arg(i).toLocal8Bit().toStdString());
    qputenv("KRONAX_PORTS", scratch.filePath("no-ports").toLocal8Bit());
    QDir::setCurrent(scratch.path());
    // The first start of each pays for loading from disk; that is nobody's figure.
    TimeCase(program, "bare", 1);
    TimeCase(program, settingsFile, 1);

    std::cout << "First paint, ms from starting the program, platform "
              << qgetenv("QT_QPA_PLATFORM").toStdString() << "\n\n";
    BenchTable table({"case", "runs", "median, ms", "max, ms", "x bare"});
    const Spread bare = TimeCase(program, "bare", options.repetitions);
    AddRow(table, "bare QMainWindow", options.repetitions, bare, bare.median);
    AddRow(table, "kronax-config, no port", options.repetitions,
           TimeCase(program, settingsFile, options.repetitions), bare.median);
    QDir::setCurrent(scratch.filePath("crowded"));
    AddRow(table, "kronax-config, " + std::to_string(options.files) + " files in the folder",
           options.repetitions, TimeCase(program, settingsFile, options.repetitions), bare.median);
    QDir::setCurrent(scratch.path());
    if (options.silentRuns > 0) {
        const sim::SimProcess board({"--silent"});
        qputenv("KRONAX_PORTS", QByteArray::fromStdString(board.Folder()));
        AddRow(table, "kronax-config, silent board on COM1", options.silentRuns,
               TimeCase(program, settingsFile, options.silentRuns), bare.median);
    }
    std::cout << table.Text();
    return 0;
}

} // namespace
} // namespace kronax::bench

int main(int argc, char** argv) {
    kronax::bench::PreferOffscreenPlatform();
    return kronax::bench::RunReportingErrors("kronax-bench-paint", [&] {
        const kronax::bench::Options options = kronax::bench::ParseOptions(argc, argv);
        if (!options.child.empty())
            return kronax::bench::RunChild(argc, argv, options.child);
        return kronax::bench::Run(
            QFileInfo(QString::fromLocal8Bit(argv[0])).absoluteFilePath().toStdString(), options);
    });
}
