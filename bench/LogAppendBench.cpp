// kronax-bench-log: the time and memory it takes to append lines to a traffic log set up like the
// window's (a QPlainTextEdit with a vertical scroll bar, wrapping at its width, never trimmed),
// keeping the newest line in view, on Qt's offscreen platform unless another is chosen.
//
// Usage: kronax-bench-log [--lines N] [--repaint-each-line]
//   --lines N             lines to append (default 100000)
//   --repaint-each-line   repaint the log after every line, as a transaction that repaints
//                         at once does; otherwise the event loop paints after every six lines
// Each run measures one setting: peak memory only grows within a process.

#include "bench/BenchMain.h"
#include "bench/BenchTable.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

namespace kronax::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int ChunkLines = 10000;
constexpr int SequenceLength = 6;

// One configuration write and read as the log shows them.
const char* const Lines[] = {
    "##SMSEN010100000000\\r | !SMACK\\r",
    "##SMCDM0001\\r | !SMACK\\r",
    "##SMABV0000\\r | !SMACK\\r",
    "##SMTDF0001\\r | !SMACK\\r",
    "##SMMOD00000\\r | !SMACK\\r",
    "##SMMUX00880\\r | !SMACK\\r",
    "??SMSEN\\r | !SM010100000000\\r",
    "??SMCDM\\r | !SM0001\\r",
    "??SMABV\\r | !SM0000\\r",
    "??SMTDF\\r | !SM0001\\r",
    "??SMMOD\\r | !SM00000\\r",
    "??SMMUX\\r | !SM00880\\r",
};
constexpr int LineCount = sizeof Lines / sizeof Lines[0];

struct Options {
    int lines = 100000;
    bool repaintEachLine = false;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--lines" && i + 1 < argc && std::atoi(argv[i + 1]) > 0)
            options.lines = std::atoi(argv[++i]);
        else if (arg == "--repaint-each-line")
            options.repaintEachLine = true;
        else
            throw std::invalid_argument(
                "usage: kronax-bench-log [--lines N] [--repaint-each-line]");
    }
    return options;
}

// A "Vm..." figure of /proc/self/status in kB.
long StatusKb(const std::string& key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key + ":", 0) == 0)
            return std::atol(line.c_str() + key.size() + 1);
    return 0;
}

double Seconds(Clock::duration span) {
    return std::chrono::duration<double>(span).count();
}

// Appends the newest line and keeps it in view, the way the window's log takes a line.
void AppendLine(QPlainTextEdit& log, const char* line) {
    log.appendPlainText(QString::fromLatin1(line));
    log.verticalScrollBar()->setValue(log.verticalScrollBar()->maximum());
}

int Run(QApplication& app, const Options& options) {
    QPlainTextEdit log;
    log.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    log.resize(257, 72); // the group box of the window, less its caption
    log.show();
    app.processEvents();

    const long peakBefore = StatusKb("VmHWM");
    const long residentBefore = StatusKb("VmRSS");
    const Clock::time_point start = Clock::now();
    Clock::time_point chunkStart = start;
    double firstChunkS = 0, lastChunkS = 0;
    for (int i = 0; i < options.lines; ++i) {
        AppendLine(log, Lines[i % LineCount]);
        if (options.repaintEachLine)
            log.repaint();
        if (i % SequenceLength == SequenceLength - 1)
            app.processEvents();
        if ((i + 1) % ChunkLines == 0) {
            const Clock::time_point now = Clock::now();
            (i + 1 == ChunkLines ? firstChunkS : lastChunkS) = Seconds(now - chunkStart);
            chunkStart = now;
        }
    }
    app.processEvents();
    const double totalS = Seconds(Clock::now() - start);
    const long peakDelta = StatusKb("VmHWM") - peakBefore;
    const long residentDelta = StatusKb("VmRSS") - residentBefore;

    std::cout << "Traffic log: " << options.lines << " lines appended, newest kept in view, "
              << (options.repaintEachLine ? "repainted after every line"
                                          : "painted by the event loop every 6 lines")
              << ", platform " << QApplication::platformName().toStdString() << "\n\n";
    BenchTable table({"figure", "value"});
    table.AddRow({"total time, s", Fixed(totalS, 2)});
    table.AddRow({"mean per line, us", Fixed(totalS * 1e6 / options.lines, 1)});
    if (options.lines >= ChunkLines) {
        table.AddRow({"per line, first 10,000, us", Fixed(firstChunkS * 1e6 / ChunkLines, 1)});
        if (options.lines >= 2 * ChunkLines)
            table.AddRow(
                {"per line, last full 10,000, us", Fixed(lastChunkS * 1e6 / ChunkLines, 1)});
    }
    table.AddRow({"peak RSS delta, MiB", Fixed(static_cast<double>(peakDelta) / 1024.0, 1)});
    table.AddRow({"RSS delta at end, MiB", Fixed(static_cast<double>(residentDelta) / 1024.0, 1)});
    table.AddRow({"bytes of peak RSS per line",
                  Fixed(static_cast<double>(peakDelta) * 1024.0 / options.lines, 0)});
    table.AddRow({"lines in the log", std::to_string(log.document()->blockCount())});
    std::cout << table.Text();
    return 0;
}

} // namespace
} // namespace kronax::bench

int main(int argc, char** argv) {
    kronax::bench::PreferOffscreenPlatform();
    return kronax::bench::RunReportingErrors("kronax-bench-log", [&] {
        const kronax::bench::Options options = kronax::bench::ParseOptions(argc, argv);
        QApplication app(argc, argv);
        return kronax::bench::Run(app, options);
    });
}
