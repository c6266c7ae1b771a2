#include "sim/SimOptions.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <functional>

namespace kronax::sim {
namespace {

int ReadCount(const std::string& option, const std::string& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0)
        throw EUsage(option + " needs a number from 0, not '" + text + "'");
    return value;
}

bool IsPortName(const std::string& name) {
    if (!name.starts_with("COM") || name.size() == 3 || name[3] == '0')
        return false;
    return name.find_first_not_of("0123456789", 3) == std::string::npos;
}

void AddCommandStarts(std::vector<std::string>& starts, const std::string& list) {
    std::size_t from = 0;
    while (from <= list.size()) {
        const std::size_t comma = std::min(list.find(',', from), list.size());
        if (comma > from)
            starts.push_back(list.substr(from, comma - from));
        from = comma + 1;
    }
}

// "CMD=MS": the command start and its delay.
std::pair<std::string, int> LateCommand(const std::string& text) {
    const std::size_t equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0)
        throw EUsage("--late-command needs CMD=MS, not '" + text + "'");
    return {text.substr(0, equals), ReadCount("--late-command", text.substr(equals + 1))};
}

// "CMD=HEX": the command start and the answer's bytes, two hexadecimal digits each.
std::pair<std::string, std::string> ReadReply(const std::string& text) {
    const std::size_t equals = text.find('=');
    const std::string hex = equals == std::string::npos ? "" : text.substr(equals + 1);
    if (equals == 0 || hex.empty() || hex.size() % 2 != 0 ||
        hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        throw EUsage("--reply needs CMD=HEX with an even number of hex digits, not '" + text + "'");
    std::string bytes;
    for (std::size_t at = 0; at < hex.size(); at += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(at, 2), nullptr, 16));
    return {text.substr(0, equals), bytes};
}

// A repeatable option whose every value goes to apply, in the order given.
void AddEach(CLI::App& app, const std::string& name,
             const std::function<void(const std::string&)>& apply) {
    app.add_option_function<std::vector<std::string>>(
           name,
           [apply](const std::vector<std::string>& values) {
               for (const std::string& value : values)
                   apply(value);
           })
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->allow_extra_args(false);
}

// A field of the board's identity: 4 printable characters, as the board sends them.
void AddIdentityField(CLI::App& app, const std::string& name, std::string& field) {
    app.add_option_function<std::string>(name, [name, &field](const std::string& value) {
        const bool printable =
            std::all_of(value.begin(), value.end(), [](char c) { return c > ' ' && c < '\x7F'; });
        if (value.size() != 4 || !printable)
            throw EUsage(name + " needs 4 printable characters, not '" + value + "'");
        field = value;
    });
}

// A whole number from 0, read with the option's own message on a bad value.
void AddCount(CLI::App& app, const std::string& name, int& count) {
    app.add_option_function<std::string>(
        name, [name, &count](const std::string& value) { count = ReadCount(name, value); });
}

} // namespace

SimOptions ParseSimOptions(const std::vector<std::string>& args, const char* defaultPortsDir) {
    SimOptions options;
    if (defaultPortsDir != nullptr)
        options.portsDir = defaultPortsDir;
    FaultOptions& faults = options.faults;

    CLI::App app("kronax-sim");
    app.set_help_flag(); // --help shows UsageText(), laid out by hand
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_flag("--help", options.help);
    app.add_flag("--version", options.version);
    app.add_option("--ports-dir", options.portsDir);
    app.add_option("--port", options.portName);
    app.add_option("--state", options.stateFile);
    app.add_option("--log", options.logFile);
    AddIdentityField(app, "--serial", options.identity.serialNumber);
    AddIdentityField(app, "--pcb", options.identity.pcbVersion);
    AddIdentityField(app, "--fpga", options.identity.fpgaVersion);
    AddIdentityField(app, "--uc", options.identity.microVersion);
    AddEach(app, "--refuse", [&](const std::string& v) { AddCommandStarts(faults.refused, v); });
    AddEach(app, "--ignore", [&](const std::string& v) { AddCommandStarts(faults.ignored, v); });
    AddEach(app, "--late-command",
            [&](const std::string& v) { faults.lateCommands.push_back(LateCommand(v)); });
    AddEach(app, "--reply", [&](const std::string& v) { faults.replies.push_back(ReadReply(v)); });
    AddCount(app, "--delay", faults.delayMs);
    AddCount(app, "--split", faults.splitSize);
    AddCount(app, "--split-pause", faults.splitPauseMs);
    app.add_flag("--silent", faults.silent);
    app.add_flag("--crlf", faults.crLf);
    app.add_flag("--late", faults.late);
    app.add_flag("--garbage", faults.garbage);
    app.add_flag("--pace", faults.pace);

    std::vector<std::string> reversed(args.rbegin(), args.rend()); // CLI11 takes them last first
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        throw EUsage(error.what());
    }
    if (options.help || options.version)
        return options;
    if (!IsPortName(options.portName))
        throw EUsage("--port needs COM followed by a number from 1, not '" + options.portName +
                     "'");
    if (options.portsDir.empty())
        throw EUsage("no device-map folder: give --ports-dir or set KRONAX_PORTS");
    return options;
}

std::string UsageText() {
    return R"(Usage: kronax-sim [options]
A stand-in KRONAX board on a pseudo-terminal, published as COM<n> in a device-map folder.
It prints the port name and serves until SIGINT or SIGTERM, then removes its link.

  --ports-dir DIR     device-map folder (default: $KRONAX_PORTS)
  --port COM<n>       port name to publish (default: COM1)
  --state FILE        power-on default: loaded at start, written by "##SMSETP"
                      (section "Kronax", keys SEN CDM ABV TDF MOD MUX)
  --log FILE          log every line received and sent with a millisecond time stamp
  --serial NNNN       the serial number "??SMSETB" reports (default: 0815); --pcb, --fpga
                      and --uc likewise set the versions (P1.2, F2.1, U1.7), 4 characters each
  --help              show this text
  --version           show the version

Faults:
  --silent            never answer
  --refuse CMD[,CMD]  answer "!SMNCK" to commands starting with CMD (repeatable)
  --ignore CMD[,CMD]  leave commands starting with CMD without any answer (repeatable)
  --reply CMD=HEX     answer commands starting with CMD with these bytes, e.g.
                      "??SMSTA=21534DB50D" (repeatable)
  --crlf              end every answer with CR LF
  --delay MS          wait MS milliseconds before each answer
  --split N           send each answer in pieces of N characters
  --split-pause MS    pause between pieces (default: 50)
  --late              answer 300 ms after the command's time-out (500 ms for ??SMSETB,
                      1000 ms otherwise)
  --late-command CMD=MS
                      answer commands starting with CMD MS milliseconds after they arrive
                      (repeatable); the answer goes out even when the client has closed the
                      port meanwhile, for whoever opens it next
  --garbage           answer every command with a garbage line
  --pace              send each byte at the 9600-baud rate (about 1.04 ms a character)
)";
}

} // namespace kronax::sim
