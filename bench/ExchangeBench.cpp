// kronax-bench: times the configuration's six-command sequences through TransactCommand on the
// serial port, against the simulator pacing its answers at 9600 baud, with the processor time
// the program spends per second of transfer, and measures the transaction's own turnaround
// between an answer and the next command. Then times six-command reads of a board that never
// answers, each as a new run would make it, with their processor time.
//
// Usage: kronax-bench [--repetitions N] [--silent-reads N]   (defaults 20 and 1; 0 skips)

#include "bench/BenchTable.h"
#include "bench/ProcessCpu.h"
#include "bench/TimedPort.h"
#include "bench/Turnaround.h"
#include "exchange/BoardPort.h"
#include "exchange/CommandTransaction.h"
#include "exchange/SteadyTickSource.h"
#include "link/SerialPort.h"
#include "link/UiDispatcher.h"
#include "sim/SimProcess.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace kronax::bench {
namespace {

constexpr double BitsPerCharacter = 10;
constexpr double BaudRate = 9600;
constexpr std::int32_t TimeOut = 1000;
constexpr int SequenceLength = 6;

struct Exchange {
    std::string command;
    std::string reply;
};

using Sequence = std::vector<Exchange>;

// The simulator's own configuration, written back unchanged and then read.
const char* const Names[] = {"SEN", "CDM", "ABV", "TDF", "MOD", "MUX"};
const char* const Payloads[] = {"010100000000", "0001", "0000", "0001", "00000", "00880"};

Sequence WriteSequence() {
    Sequence sequence;
    for (int i = 0; i < SequenceLength; ++i)
        sequence.push_back({std::string("##SM") + Names[i] + Payloads[i] + "\r", "!SMACK\r"});
    return sequence;
}

Sequence QuerySequence() {
    Sequence sequence;
    for (int i = 0; i < SequenceLength; ++i)
        sequence.push_back(
            {std::string("??SM") + Names[i] + "\r", std::string("!SM") + Payloads[i] + "\r"});
    return sequence;
}

double LineTimeMs(std::size_t characters) {
    return static_cast<double>(characters) * BitsPerCharacter / BaudRate * 1000.0;
}

// Keeps only the newest line: the bench measures the link, not a log widget.
class LastLineLog : public ITrafficLog {
public:
    void AppendLine(const std::string& line) override { last_ = line; }

private:
    std::string last_;
};

struct SequenceResult {
    std::string name;
    Sequence sequence;
    std::vector<double> durationsMs;
    double cpuSeconds = 0; // over all timed repetitions
};

double Sum(const std::vector<double>& samples) {
    double sum = 0;
    for (double x : samples)
        sum += x;
    return sum;
}

double RunSequence(CommandTransaction& transaction, const Sequence& sequence) {
    std::string reply;
    const Clock::time_point start = Clock::now();
    for (const Exchange& exchange : sequence) {
        if (!transaction.TransactCommand(exchange.command, reply, TimeOut) ||
            reply != exchange.reply)
            throw std::runtime_error("unexpected answer '" + reply + "' to " + exchange.command);
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void PrintSequences(const std::vector<SequenceResult>& results) {
    BenchTable table({"sequence", "sent", "received", "bound ms", "reply-only ms", "min ms",
                      "median ms", "max ms", "median/bound", "CPU s/s"});
    for (const SequenceResult& result : results) {
        std::size_t sent = 0, received = 0;
        for (const Exchange& exchange : result.sequence) {
            sent += exchange.command.size();
            received += exchange.reply.size();
        }
        const double bound = LineTimeMs(sent + received);
        const Spread spread = SpreadOf(result.durationsMs);
        table.AddRow({result.name, std::to_string(sent), std::to_string(received), Fixed(bound, 1),
                      Fixed(LineTimeMs(received), 1), Fixed(spread.min, 1), Fixed(spread.median, 1),
                      Fixed(spread.max, 1), Fixed(spread.median / bound, 2),
                      Fixed(result.cpuSeconds / (Sum(result.durationsMs) / 1000.0), 3)});
    }
    std::cout << table.Text();
}

void AddSpreadRow(BenchTable& table, const std::string& name, const std::vector<double>& samples,
                  int decimals) {
    const Spread spread = SpreadOf(samples);
    table.AddRow({name, std::to_string(samples.size()), Fixed(spread.min, decimals),
                  Fixed(spread.median, decimals), Fixed(spread.p95, decimals),
                  Fixed(spread.max, decimals), Fixed(spread.mean, decimals)});
}

struct Options {
    int repetitions = 20;
    int silentReads = 1;
};

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--repetitions" && i + 1 < argc && std::atoi(argv[i + 1]) > 0)
            options.repetitions = std::atoi(argv[++i]);
        else if (arg == "--silent-reads" && i + 1 < argc && std::atoi(argv[i + 1]) >= 0)
            options.silentReads = std::atoi(argv[++i]);
        else
            throw std::invalid_argument("usage: kronax-bench [--repetitions N] [--silent-reads N]");
    }
    return options;
}

// What the transaction gave over the port.
struct Measurement {
    std::string name;
    std::vector<SequenceResult> sequences;
    std::vector<double> lowerUs, upperUs, fromWakeUs, pollUs, simLogMs;
};

// Runs one warm-up and then repetitions of each sequence through a transaction.
Measurement Measure(TSerialPort& port, UiDispatcher& dispatcher, int repetitions) {
    TimedPort timed(port);
    SteadyTickSource ticks;
    LastLineLog log;
    CommandTransaction transaction(timed, ticks, log);
    Measurement m{
        "transaction over the POSIX serial port",
        {{"6 x ##SM write", WriteSequence(), {}}, {"6 x ??SM query", QuerySequence(), {}}},
        {},
        {},
        {},
        {},
        {}};
    for (const SequenceResult& result : m.sequences)
        RunSequence(transaction, result.sequence);
    for (int rep = 0; rep < repetitions; ++rep) {
        for (SequenceResult& result : m.sequences) {
            // Between two operator actions the window's event loop runs the watcher's deliveries.
            dispatcher.RunPending();
            timed.Clear();
            const double cpuBefore = ProcessCpuSeconds();
            result.durationsMs.push_back(RunSequence(transaction, result.sequence));
            result.cpuSeconds += ProcessCpuSeconds() - cpuBefore;
            for (const TurnaroundBracket& bracket : Turnarounds(timed.Calls())) {
                m.lowerUs.push_back(bracket.lowerUs);
                m.upperUs.push_back(bracket.upperUs);
            }
            const std::vector<double> woken = TurnaroundsFromWakeUp(timed.Calls());
            m.fromWakeUs.insert(m.fromWakeUs.end(), woken.begin(), woken.end());
            const std::vector<double> periods = PollPeriods(timed.Calls());
            m.pollUs.insert(m.pollUs.end(), periods.begin(), periods.end());
        }
    }
    return m;
}

std::size_t CountFrom(const std::vector<double>& samples, double limit) {
    return static_cast<std::size_t>(
        std::count_if(samples.begin(), samples.end(), [&](double x) { return x >= limit; }));
}

void PrintTurnarounds(const Measurement& m) {
    std::cout << "\nTurnaround, " << m.name
              << ": the board's CR reaching the port -> the next command leaving it\n\n";
    BenchTable table({"measure", "samples", "min", "median", "p95", "max", "mean"});
    AddSpreadRow(table, "lower bound, us", m.lowerUs, 0);
    AddSpreadRow(table, "upper bound, us", m.upperUs, 0);
    AddSpreadRow(table, "from wake-up, us", m.fromWakeUs, 0);
    AddSpreadRow(table, "simulator log, ms", m.simLogMs, 3);
    AddSpreadRow(table, "read loop period, us", m.pollUs, 0);
    std::cout << table.Text();
    std::cout << "upper bound reaching 1 ms: " << CountFrom(m.upperUs, 1000) << " of "
              << m.upperUs.size()
              << " exchanges; read loop period reaching 1 ms: " << CountFrom(m.pollUs, 1000)
              << " of " << m.pollUs.size() << "\n";
}

// A six-command read of a board that never answers: the time it takes and the processor time
// the program spends meanwhile.
void MeasureSilentBoard(int reads) {
    if (reads == 0)
        return;
    sim::SimProcess sim({"--silent"});
    setenv("KRONAX_PORTS", sim.Folder().c_str(), 1);
    UiDispatcher dispatcher;
    const auto port = OpenBoardPort(sim.PrintedName(), true, dispatcher);
    SteadyTickSource ticks;
    LastLineLog log;
    std::vector<double> durationsS, cpuS;
    std::string reply;
    for (int read = 0; read < reads; ++read) {
        dispatcher.RunPending();
        // Each read as a new run of kronax makes it: its own transaction, which honours what the
        // read before left in the port's record.
        CommandTransaction transaction(*port, ticks, log);
        port->ClosePort();
        port->OpenPort();
        const double cpuBefore = ProcessCpuSeconds();
        const Clock::time_point start = Clock::now();
        for (const Exchange& exchange : QuerySequence())
            transaction.TransactCommand(exchange.command, reply, TimeOut);
        durationsS.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        cpuS.push_back(ProcessCpuSeconds() - cpuBefore);
    }
    port->ClosePort();
    std::cout << "\nSix-command read of a board that never answers, " << reads << " time(s)\n\n";
    BenchTable table({"measure", "samples", "min", "median", "p95", "max", "mean"});
    AddSpreadRow(table, "duration, s", durationsS, 3);
    AddSpreadRow(table, "CPU, s", cpuS, 3);
    std::cout << table.Text();
}

int Run(const Options& options) {
    namespace fs = std::filesystem;
    const std::string simLog =
        (fs::temp_directory_path() / ("kronax-bench-" + std::to_string(getpid()) + ".log"))
            .string();
    fs::remove(simLog);
    sim::SimProcess sim({"--pace", "--log", simLog});
    setenv("KRONAX_PORTS", sim.Folder().c_str(), 1);

    UiDispatcher dispatcher;
    const auto port = OpenBoardPort(sim.PrintedName(), true, dispatcher);
    Measurement m = Measure(*port, dispatcher, options.repetitions);
    port->ClosePort();
    sim.Stop(SIGTERM);
    m.simLogMs = SimLogTurnarounds(simLog, SequenceLength);
    fs::remove(simLog);

    std::cout << "Six-command sequences, simulator pacing its answers at 9600 baud, "
              << options.repetitions << " repetitions each\n"
              << "(bound: characters sent + received x 10 bits at 9600 baud; reply-only: the "
                 "received characters alone,\n which is all the simulator paces)\n";
    std::cout << "\n" << m.name << "\n";
    PrintSequences(m.sequences);
    PrintTurnarounds(m);
    std::cout << "\nlower bound: the CR read's end to the next write's start (the tool's own "
                 "work once it has the CR);\nupper bound: the last read without the CR's start "
                 "to the next write's end (adds the wait until\nthe CR is seen); simulator "
                 "log: its TX of reply n to its RX of command n + 1, whole milliseconds;\nfrom "
                 "wake-up: the end of the wait for input that the CR ended to the next write's "
                 "end\n(the turnaround less the system's time to wake the waiting thread).\n";
    MeasureSilentBoard(options.silentReads);
    return 0;
}

} // namespace
} // namespace kronax::bench

int main(int argc, char** argv) {
    try {
        return kronax::bench::Run(kronax::bench::ParseOptions(argc, argv));
    } catch (const std::exception& error) {
        std::cerr << "kronax-bench: " << error.what() << '\n';
        return 1;
    }
}
