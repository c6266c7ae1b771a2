#include "cli/KronaxCommand.h"

#include "cli/BoardActions.h"
#include "cli/ConfigurationFields.h"
#include "cli/PortRunner.h"
#include "cli/Text.h"
#include "link/PortFailure.h"
#include "link/PortIdentity.h"
#include "link/SerialPort.h"
#include "version/KronaxVersion.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <optional>

namespace kronax::cli {
namespace {

using Json = nlohmann::ordered_json;

constexpr const char* ExitCodesText = R"(Exit codes:
  0  success
  1  the board answered, but not as asked: a write NOT acknowledged, a time-out, a verify
     mismatch, a difference found
  2  usage error
  3  port error: cannot open, busy, vanished during the exchange
  4  file error: missing, unreadable, illegal or incomplete payload, refused overwrite
With several ports the highest code of any port wins.)";

// Thrown to end a command with a one-line message on standard error.
struct Stop {
    int exitCode;
    std::string message;
};

struct BoardOptions {
    std::vector<std::string> ports;
    bool all = false;
    bool verbose = false;
    bool json = false;
};

void AddBoardOptions(CLI::App& command, BoardOptions& options, bool withJson) {
    command.add_option("--port", options.ports, "COM<n>; repeat it or separate ports by commas")
        ->delimiter(',')
        ->allow_extra_args(false);
    command.add_flag("--all", options.all, "every port that 'kronax ports' lists");
    command.add_flag("-v,--verbose", options.verbose,
                     "print each exchange to standard error as the traffic log shows it");
    if (withJson)
        command.add_flag("--json", options.json, "print JSON");
}

std::vector<std::string> ListedPorts() {
    std::vector<std::string> names;
    try {
        ListSerialPorts(names);
    } catch (const ESerialPort& error) {
        throw Stop{ExitPortError, "cannot list the serial ports: " + PortFailureReason(error)};
    }
    if (names.empty())
        throw Stop{ExitPortError, "no serial ports present"};
    return names;
}

std::vector<std::string> ChosenPorts(const std::string& command, const BoardOptions& options) {
    if (options.all == !options.ports.empty())
        throw Stop{ExitUsage, "kronax " + command + ": give either --port COM<n> or --all"};
    if (options.all)
        return ListedPorts();
    std::vector<std::string> ports;
    for (std::string port : options.ports) {
        port.erase(0, port.find_first_not_of(' '));
        port.erase(port.find_last_not_of(' ') + 1);
        if (!port.empty() && std::find(ports.begin(), ports.end(), port) == ports.end())
            ports.push_back(port);
    }
    if (ports.empty())
        throw Stop{ExitUsage, "kronax " + command + ": --port names no port"};
    return ports;
}

int RunBoardCommand(const std::string& command, const BoardOptions& options,
                    const PortAction& action, TOutput& output) {
    const std::vector<std::string> ports = ChosenPorts(command, options);
    const RunOptions run{options.verbose, options.json, options.all || ports.size() > 1};
    return RunOnPorts(ports, action, run, output);
}

// Loads a file that is to go to a board: every payload must be complete and legal.
LoadedFile LoadCompleteFile(const std::string& fileName, TOutput& output) {
    LoadedFile file;
    try {
        file = LoadConfigFile(fileName);
    } catch (const EFileProblem& problem) {
        throw Stop{ExitFileError, problem.what()};
    }
    if (file.problems.empty())
        return file;
    for (std::size_t index = 0; index + 1 < file.problems.size(); ++index)
        output.PrintError(fileName + ": " + file.problems[index] + "\n");
    throw Stop{ExitFileError, fileName + ": " + file.problems.back()};
}

int ListPorts(bool json, TOutput& output) {
    std::vector<PortIdentity> ports;
    try {
        ports = ListPortIdentities();
    } catch (const ESerialPort& error) {
        throw Stop{ExitPortError, "cannot list the serial ports: " + PortFailureReason(error)};
    }
    if (!json) {
        for (const PortIdentity& port : ports)
            output.Print(DescribePort(port) + "\n");
        return ExitSuccess;
    }
    Json list = Json::array();
    for (const PortIdentity& port : ports)
        list.push_back({{"name", port.name},
                        {"devicePath", port.devicePath},
                        {"vendorId", port.vendorId},
                        {"productId", port.productId},
                        {"manufacturer", port.manufacturer},
                        {"product", port.product},
                        {"serialNumber", port.serialNumber}});
    output.Print(list.dump(2) + "\n");
    return ExitSuccess;
}

int ShowFile(const std::string& fileName, bool json, TOutput& output) {
    LoadedFile file;
    try {
        file = LoadConfigFile(fileName);
    } catch (const EFileProblem& problem) {
        throw Stop{ExitFileError, problem.what()};
    }
    if (json) {
        Json document = {{"file", fileName}, {"fields", FieldsJson(file.snapshot)}};
        Json payloads = Json::object();
        for (std::size_t index = 0; index < PayloadKinds.size(); ++index)
            payloads[std::string(KindName(PayloadKinds[index]))] =
                Utf8FromSystemText(file.payloads[index]);
        document["payloads"] = payloads;
        document["problems"] = file.problems;
        output.Print(document.dump(2) + "\n");
    } else {
        output.Print(FieldsText(file.snapshot));
    }
    for (const std::string& problem : file.problems)
        output.PrintError(fileName + ": " + problem + "\n");
    return file.problems.empty() ? ExitSuccess : ExitFileError;
}

struct Commands {
    BoardOptions board;
    bool json = false;
    std::string file;
    std::string output;
    bool force = false;
    bool dryRun = false;
    bool verify = false;
    bool setDefault = false;
};

int Dispatch(CLI::App& app, Commands& c, TOutput& output) {
    const std::string name = app.get_subcommands().front()->get_name();
    if (name == "ports")
        return ListPorts(c.json, output);
    if (name == "show")
        return ShowFile(c.file, c.json, output);
    if (name == "read") {
        if (!c.output.empty()) {
            if (c.board.all || c.board.ports.size() > 1)
                throw Stop{ExitUsage, "kronax read: --output takes one port"};
            try {
                CheckOutputFile(c.output, c.force);
            } catch (const EFileProblem& problem) {
                throw Stop{ExitFileError, problem.what()};
            }
        }
        const ReadRequest request{c.output.empty() ? std::nullopt : std::optional(c.output),
                                  c.force};
        return RunBoardCommand(
            name, c.board, [&](TRecordingChannel& ch) { return ReadBoardAction(ch, request); },
            output);
    }
    if (name == "write" || name == "diff") {
        ChosenPorts(name, c.board);
        const LoadedFile file = LoadCompleteFile(c.file, output);
        if (name == "diff")
            return RunBoardCommand(
                name, c.board, [&](TRecordingChannel& ch) { return DiffBoardAction(ch, file); },
                output);
        const WriteRequest request{file, c.dryRun, c.verify, c.setDefault};
        return RunBoardCommand(
            name, c.board, [&](TRecordingChannel& ch) { return WriteBoardAction(ch, request); },
            output);
    }
    const PortAction single = name == "start"    ? PortAction(StartAction)
                              : name == "status" ? PortAction(StatusAction)
                              : name == "info"   ? PortAction(InfoAction)
                                                 : PortAction(SetDefaultAction);
    return RunBoardCommand(name, c.board, single, output);
}

void DefineCommands(CLI::App& app, Commands& c) {
    app.require_subcommand(1);
    app.footer(ExitCodesText);

    auto* ports = app.add_subcommand(
        "ports", "List the serial ports with their device paths and USB details");
    ports->add_flag("--json", c.json, "print JSON");

    auto* read = app.add_subcommand("read", "Read the configuration from the board(s)");
    AddBoardOptions(*read, c.board, true);
    read->add_option("--output", c.output, "store the configuration in this .kxcfg file");
    read->add_flag("--force", c.force, "overwrite an existing --output file");

    auto* write = app.add_subcommand(
        "write", "Show how the board differs from a .kxcfg file, then write the file to it");
    AddBoardOptions(*write, c.board, true);
    write->add_option("file", c.file, "the .kxcfg file")->required();
    write->add_flag("--dry-run", c.dryRun, "stop after showing the differences");
    write->add_flag("--verify", c.verify, "read the board back and compare");
    write->add_flag("--set-default", c.setDefault,
                    "make it the power-on default once every write was acknowledged");

    auto* diff = app.add_subcommand("diff", "Show how the board differs from a .kxcfg file");
    AddBoardOptions(*diff, c.board, true);
    diff->add_option("file", c.file, "the .kxcfg file")->required();

    auto* show = app.add_subcommand("show", "Decode a .kxcfg file without a board");
    show->add_option("file", c.file, "the .kxcfg file")->required();
    show->add_flag("--json", c.json, "print JSON");

    const std::pair<const char*, const char*> singles[] = {
        {"start", "Start the board's algorithms"},
        {"status", "Read the board's status"},
        {"info", "Show the board's serial number and versions"},
        {"set-default", "Make the configuration the board holds its power-on default"}};
    for (const auto& [name, description] : singles)
        AddBoardOptions(*app.add_subcommand(name, description), c.board, true);
}

} // namespace

int RunKronax(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app("kronax: the KRONAX board's configuration protocol from the command line",
                 "kronax");
    Commands commands;
    DefineCommands(app, commands);
    app.set_version_flag("--version", std::string("kronax ") + KronaxVersion);
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        return app.exit(error, out, err) == 0 ? ExitSuccess : ExitUsage;
    }
    TOutput output(out, err);
    try {
        return Dispatch(app, commands, output);
    } catch (const Stop& stop) {
        output.PrintError(stop.message + "\n");
        return stop.exitCode;
    }
}

} // namespace kronax::cli
