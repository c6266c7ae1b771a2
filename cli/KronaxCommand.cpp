#include "cli/KronaxCommand.h"

#include "cli/BoardActions.h"
#include "cli/CommandHelp.h"
#include "cli/ConfigurationFields.h"
#include "cli/Console.h"
#include "cli/HistoryCommand.h"
#include "cli/PortChoice.h"
#include "cli/PortRunner.h"
#include "cli/Settings.h"
#include "cli/Signals.h"
#include "cli/Text.h"
#include "link/PortFailure.h"
#include "link/PortIdentity.h"
#include "protocol/PayloadCodec.h"
#include "version/KronaxVersion.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <unistd.h>

namespace kronax::cli {
namespace {

using Json = nlohmann::ordered_json;

// Thrown to end a command with a one-line message on standard error, and with --json a line
// that says so on standard output.
struct Stop {
    int exitCode;
    std::string errorCode; // as in the JSON's error.code
    std::string message;
    std::optional<std::string> file = {}; // the file it is about, when the command's own is not
};

// What a command that ended early prints as JSON: the command and the file it is about.
struct JsonAnswer {
    std::string command;
    bool json = false;
    std::string file; // empty for none
};

// What every subcommand's callback reaches: the streams and the exit code it sets.
struct Context {
    Output& output;
    bool errorIsTerminal = false; // standard error is a terminal: progress can be shown
    int exitCode = ExitSuccess;
    JsonAnswer answer = {};
};

std::string UsageCode(int exitCode) {
    return exitCode == ExitUsage ? "usage_error" : "port_error";
}

struct BoardOptions {
    std::vector<std::string> ports;
    bool all = false;
    bool verbose = false;
    bool json = false;
    bool quiet = false;
    bool noRecord = false;
};

void AddBoardOptions(CLI::App& command, BoardOptions& options) {
    command
        .add_option("-p,--port", options.ports,
                    "COM<n>, a port's device path, rfc2217://host:port or socket://host:port "
                    "(tcp:// alike); repeat it or separate ports by commas")
        ->delimiter(',')
        ->allow_extra_args(false);
    command.add_flag("--all", options.all, "every port that 'kronax ports' lists");
    command.add_flag("-v,--verbose", options.verbose,
                     "print each exchange to standard error as the traffic log shows it");
    command.add_flag("--json", options.json, "print one JSON object per port, one line each");
    command.add_flag("-q,--quiet", options.quiet,
                     "print no summary, progress or warnings; errors still go to standard error");
    command.add_flag("--no-record", options.noRecord,
                     "keep no record of the operation in the record store");
}

CLI::App* AddCommand(CLI::App& app, const std::string& name, const std::string& description) {
    auto* command = app.add_subcommand(name, description);
    command->footer(CommandFooter(name));
    return command;
}

std::vector<SettingValue> ParseSettings(const std::string& command,
                                        const std::vector<std::string>& assignments) {
    std::vector<SettingValue> values;
    try {
        for (const std::string& assignment : assignments)
            values.push_back(ParseSettingValue(assignment));
    } catch (const ESettingProblem& problem) {
        throw Stop{ExitUsage, "usage_error", "kronax " + command + ": " + problem.what()};
    }
    return values;
}

// Refuses settings that the configuration they go to would not keep as given.
void CheckSettingsKept(const std::string& command, const ConfigurationSnapshot& before,
                       const std::vector<SettingValue>& values, const std::string& holder) {
    try {
        CheckSettingsApply(before, values, holder);
    } catch (const ESettingProblem& problem) {
        throw Stop{ExitUsage, "setting_not_used",
                   "kronax " + command + ": " + problem.what() + "; nothing was written"};
    }
}

// Refuses a configuration with a value out of its entry range unless allowed: a value the
// command's own settings put there is a usage error, one the file held already a file error.
void CheckRanges(const std::string& command, const std::string& name,
                 const ConfigurationSnapshot& held, const ConfigurationSnapshot& snapshot,
                 bool allowed) {
    if (allowed)
        return;
    const std::vector<OutOfRangeValue> before = OutOfRangeValues(held);
    std::string given;
    std::string inFile;
    for (const OutOfRangeValue& found : OutOfRangeValues(snapshot)) {
        std::string& list =
            std::find(before.begin(), before.end(), found) != before.end() ? inFile : given;
        list += (list.empty() ? "" : "; ") + OutOfRangeLine(found);
    }
    const std::string note = "; nothing was written (--allow-out-of-range writes it)";
    if (!given.empty())
        throw Stop{ExitUsage, "out_of_range", "kronax " + command + ": " + given + note};
    if (!inFile.empty())
        throw Stop{ExitFileError, "out_of_range",
                   "kronax " + command + ": " + name + ": " + inFile + note};
}

std::vector<std::string> Ports(const std::string& command, const BoardOptions& options) {
    try {
        return ChoosePorts(command, options.ports, options.all);
    } catch (const EPortChoice& choice) {
        throw Stop{choice.exitCode, UsageCode(choice.exitCode), choice.message};
    }
}

RunOptions RunOptionsFor(const std::string& command, const BoardOptions& options,
                         std::size_t portCount, const Context& context) {
    const bool progress =
        context.errorIsTerminal && !options.json && !options.quiet && !options.verbose;
    return {command,       options.verbose, options.json,     options.all || portCount > 1,
            options.quiet, progress,        !options.noRecord};
}

int RunBoardCommand(const std::string& command, const BoardOptions& options,
                    const std::vector<std::string>& ports, const PortAction& action,
                    Context& context) {
    return RunOnPorts(ports, action, RunOptionsFor(command, options, ports.size(), context),
                      context.output);
}

LoadedFile LoadFile(const std::string& fileName) {
    try {
        return LoadConfigFile(fileName);
    } catch (const EFileProblem& problem) {
        throw Stop{ExitFileError, "file_error", problem.what()};
    }
}

// Loads a file that is to go to a board: every payload must be complete and legal.
LoadedFile LoadCompleteFile(const std::string& fileName, Output& output) {
    LoadedFile file = LoadFile(fileName);
    if (file.problems.empty())
        return file;
    for (std::size_t index = 0; index + 1 < file.problems.size(); ++index)
        output.PrintError(fileName + ": " + file.problems[index].second + "\n");
    throw Stop{ExitFileError, "file_incomplete", fileName + ": " + file.problems.back().second};
}

std::string PortFileName(std::string pattern, const std::string& port) {
    for (std::size_t at = pattern.find("{port}"); at != std::string::npos;
         at = pattern.find("{port}", at + port.size()))
        pattern.replace(at, 6, port);
    return pattern;
}

void SetUpPorts(CLI::App& app, Context& context) {
    auto json = std::make_shared<bool>(false);
    auto* ports = AddCommand(app, "ports",
                             "List the serial ports with their device paths and USB "
                             "details, by number");
    ports->add_flag("--json", *json, "print one JSON object per port, one line each");
    ports->callback([json, &context] {
        context.answer = {"ports", *json, ""};
        std::vector<PortIdentity> list;
        try {
            list = ListedPorts();
        } catch (const EPortChoice& choice) {
            throw Stop{choice.exitCode, UsageCode(choice.exitCode), choice.message};
        }
        for (const PortIdentity& port : list) {
            if (!*json) {
                context.output.Print(DescribePort(port) + "\n");
                continue;
            }
            Json object = JsonHead("ports", "port", port.name, PortResult{});
            const auto text = [](const std::string& value) {
                return value.empty() ? Json(nullptr) : Json(Utf8FromSystemText(value));
            };
            object.update({{"device_path", text(port.devicePath)},
                           {"vendor_id", text(port.vendorId)},
                           {"product_id", text(port.productId)},
                           {"manufacturer", text(port.manufacturer)},
                           {"product", text(port.product)},
                           {"serial_number", text(port.serialNumber)}});
            context.output.PrintExact(JsonLine(object));
        }
    });
}

struct ShowOptions {
    std::string file;
    bool json = false;
    bool names = false;
};

HeldPayloads HeldIn(const LoadedFile& file) {
    HeldPayloads held = AllPayloadsHeld;
    for (const auto& [kind, problem] : file.problems)
        held[static_cast<std::size_t>(kind)] = false;
    return held;
}

// A file's result: a payload it lacks or cannot use is a file error; a value the window would
// not accept is one of its own.
PortResult ShownFileResult(const std::string& name, const LoadedFile& file) {
    if (!file.problems.empty())
        return FailedResult(ExitFileError, "file_incomplete",
                            name + ": " + file.problems.front().second);
    if (const std::string outOfRange = OutOfRangeText(file.snapshot); !outOfRange.empty())
        return FailedResult(ExitFileError, "out_of_range", name + ": " + outOfRange);
    return {};
}

void SetUpShow(CLI::App& app, Context& context) {
    auto options = std::make_shared<ShowOptions>();
    auto* show = AddCommand(app, "show", "Decode a .kxcfg file without a board");
    auto* fileName =
        show->add_option("file", options->file, "the .kxcfg file; - reads standard input");
    show->add_flag("--json", options->json, "print one JSON object");
    show->add_flag("--names", options->names,
                   "list every setting's name, range or choices instead, as 'kronax settings'")
        ->excludes(fileName);
    show->callback([options, &context] {
        context.answer = {"show", options->json, options->file};
        if (options->names) {
            context.output.Print(SettingsListText());
            return;
        }
        if (options->file.empty())
            throw Stop{ExitUsage, "usage_error", "kronax show: give a .kxcfg file, or --names"};
        const LoadedFile file = LoadFile(options->file);
        const HeldPayloads held = HeldIn(file);
        // Only what the file holds is shown: a payload it lacks gives no made-up values.
        const PortResult result = ShownFileResult(options->file, file);
        if (options->json) {
            Json json = JsonHead("show", "file", options->file, result);
            json["fields"] = FieldsJson(file.snapshot, held);
            json["out_of_range"] =
                file.problems.empty() ? OutOfRangeJson(file.snapshot) : Json(nullptr);
            Json payloads = Json::object();
            Json problems = Json::array();
            for (std::size_t index = 0; index < PayloadKinds.size(); ++index)
                payloads[std::string(KindName(PayloadKinds[index]))] =
                    file.payloads[index].empty() ? Json(nullptr)
                                                 : Json(Utf8FromSystemText(file.payloads[index]));
            for (const auto& [kind, problem] : file.problems)
                problems.push_back(
                    {{"payload", KindName(kind)}, {"message", Utf8FromSystemText(problem)}});
            json["payloads"] = payloads;
            json["problems"] = problems;
            context.output.PrintExact(JsonLine(json));
        } else {
            context.output.Print(FieldsText(file.snapshot, held));
        }
        for (const auto& [kind, problem] : file.problems)
            context.output.PrintError(options->file + ": " + problem + "\n");
        if (file.problems.empty() && result.exitCode != ExitSuccess)
            context.output.PrintError(result.problem + "\n");
        context.exitCode = result.exitCode;
    });
}

void SetUpSettings(CLI::App& app, Context& context) {
    auto json = std::make_shared<bool>(false);
    auto* settings =
        AddCommand(app, "settings",
                   "List every setting's name, its range (in decimal) or choices, and the sensor "
                   "types that use it");
    settings->add_flag("--json", *json, "print one JSON object per setting, one line each");
    settings->callback([json, &context] {
        if (!*json) {
            context.output.Print(SettingsListText());
            return;
        }
        for (const Setting& setting : AllSettings()) {
            Json object = JsonHead("settings", "setting", SettingKey(setting), PortResult{});
            object.update(SettingDescriptionJson(setting));
            context.output.PrintExact(JsonLine(object));
        }
    });
}

struct NewOptions {
    std::vector<std::string> settings;
    std::string output;
    bool force = false;
    bool allowOutOfRange = false;
};

void SetUpNew(CLI::App& app, Context& context) {
    auto options = std::make_shared<NewOptions>();
    auto* create = AddCommand(app, "new",
                              "Make a .kxcfg file from the window's start values and the "
                              "settings given as name=value");
    create->add_option("settings", options->settings, "name=value, as 'kronax settings' lists");
    create->add_option("--output", options->output, "the new .kxcfg file; - prints it")->required();
    create->add_flag("--force", options->force, "overwrite an existing --output file");
    create->add_flag("--allow-out-of-range", options->allowOutOfRange,
                     "store values out of their range all the same");
    create->callback([options, &context] {
        const ConfigurationSnapshot start = StartSnapshot();
        const std::vector<SettingValue> values = ParseSettings("new", options->settings);
        CheckSettingsKept("new", start, values, "the new file's");
        ConfigurationSnapshot snapshot = start;
        ApplySettingValues(snapshot, values);
        CheckRanges("new", options->output, start, snapshot, options->allowOutOfRange);
        if (options->output == StandardStream) {
            UseStandardOutputForFileBytes();
            context.output.PrintExact(PayloadsFileText(EncodePayloads(snapshot)));
            return;
        }
        try {
            SaveConfigFile(options->output, snapshot, options->force);
        } catch (const EFileProblem& problem) {
            throw Stop{ExitFileError, "file_error", problem.what()};
        }
    });
}

struct EditOptions {
    std::string file;
    std::vector<std::string> settings;
    bool allowOutOfRange = false;
};

void SetUpEdit(CLI::App& app, Context& context) {
    auto options = std::make_shared<EditOptions>();
    auto* edit = AddCommand(app, "edit",
                            "Change the settings given as name=value in a .kxcfg file, in place");
    edit->add_option("file", options->file, "the .kxcfg file")->required();
    edit->add_option("settings", options->settings, "name=value, as 'kronax settings' lists")
        ->required();
    edit->add_flag("--allow-out-of-range", options->allowOutOfRange,
                   "store values out of their range all the same");
    edit->callback([options, &context] {
        if (options->file == StandardStream)
            throw Stop{ExitUsage, "usage_error", "kronax edit: give a file to change, not -"};
        const std::vector<SettingValue> values = ParseSettings("edit", options->settings);
        const LoadedFile file = LoadCompleteFile(options->file, context.output);
        CheckSettingsKept("edit", file.snapshot, values, "the file's");
        ConfigurationSnapshot snapshot = file.snapshot;
        ApplySettingValues(snapshot, values);
        CheckRanges("edit", options->file, file.snapshot, snapshot, options->allowOutOfRange);
        // The payloads the change leaves alone keep the file's own text.
        const PayloadTexts before = EncodePayloads(file.snapshot);
        const PayloadTexts after = EncodePayloads(snapshot);
        PayloadTexts stored = file.payloads;
        for (std::size_t index = 0; index < stored.size(); ++index)
            if (after[index] != before[index])
                stored[index] = after[index];
        try {
            SavePayloads(options->file, stored);
        } catch (const EFileProblem& problem) {
            throw Stop{ExitFileError, "file_error", problem.what()};
        }
    });
}

struct ReadOptions {
    BoardOptions board;
    std::string output;
    bool force = false;
    bool raw = false;
};

void SetUpRead(CLI::App& app, Context& context) {
    auto options = std::make_shared<ReadOptions>();
    auto* read = AddCommand(app, "read", "Read the configuration from the board(s)");
    AddBoardOptions(*read, options->board);
    auto* output = read->add_option(
        "--output", options->output,
        "store the configuration in this .kxcfg file; - prints it; {port} in the name stands "
        "for the port, one file each");
    read->add_flag("--force", options->force, "overwrite an existing --output file")->needs(output);
    read->add_flag("--raw", options->raw,
                   "store the board's own payloads byte for byte, not as the window saves them")
        ->needs(output);
    read->callback([options, &context] {
        context.answer = {"read", options->board.json, ""};
        const std::vector<std::string> ports = Ports("read", options->board);
        const bool perPort = options->output.find("{port}") != std::string::npos;
        if (!options->output.empty() && ports.size() > 1 && !perPort)
            throw Stop{ExitUsage, "usage_error",
                       "kronax read: --output takes one port, or a name with {port}"};
        if (options->output == StandardStream && options->board.json)
            throw Stop{ExitUsage, "usage_error", "kronax read: --output - and --json both print"};
        if (options->output == StandardStream)
            UseStandardOutputForFileBytes();
        std::vector<std::string> created;
        for (const std::string& port : ports) {
            if (options->output.empty())
                break;
            const std::string name = PortFileName(options->output, port);
            try {
                if (ReserveOutputFile(name, options->force))
                    created.push_back(name);
            } catch (const EFileProblem& problem) {
                for (const std::string& reserved : created)
                    std::remove(reserved.c_str());
                throw Stop{ExitFileError, "file_error", problem.what(), name};
            }
        }
        const auto action = [options](BoardSession& session, const std::string& port) {
            std::optional<std::string> file;
            if (!options->output.empty())
                file = PortFileName(options->output, port);
            return ReadBoardAction(session.Guard(), {file, options->raw});
        };
        context.exitCode = RunBoardCommand("read", options->board, ports, action, context);
        // A file made for a read that stored nothing (still empty) goes again.
        for (const std::string& reserved : created) {
            std::error_code error;
            if (std::filesystem::file_size(reserved, error) == 0 && !error)
                std::remove(reserved.c_str());
        }
    });
}

struct WriteOptions {
    BoardOptions board;
    std::string file;
    bool dryRun = false;
    bool verify = false;
    bool setDefault = false;
    bool noRead = false;
    std::vector<std::string> settings = {};
    bool allowOutOfRange = false;
};

void SetUpWrite(CLI::App& app, Context& context) {
    auto options = std::make_shared<WriteOptions>();
    auto* write = AddCommand(
        app, "write", "Show how the board differs from a .kxcfg file, then write the file to it");
    AddBoardOptions(*write, options->board);
    auto* fileName =
        write->add_option("file", options->file, "the .kxcfg file; - reads standard input");
    auto* set = write
                    ->add_option("--set", options->settings,
                                 "change only this setting on the board, as name=value; repeat "
                                 "it for more ('kronax settings' lists them)")
                    ->allow_extra_args(false)
                    ->excludes(fileName);
    write->add_flag("--allow-out-of-range", options->allowOutOfRange,
                    "write values out of their range all the same");
    auto* dryRun =
        write->add_flag("--dry-run", options->dryRun, "stop after showing the differences");
    write->add_flag("--verify", options->verify,
                    "read the board back and compare its payloads with those sent, byte for byte");
    write->add_flag("--set-default", options->setDefault,
                    "make it the power-on default once every write was acknowledged");
    write
        ->add_flag("--no-read", options->noRead,
                   "write without reading the board first (for a board with a broken query)")
        ->excludes(dryRun)
        ->excludes(set);
    write->callback([options, &context] {
        context.answer = {"write", options->board.json, options->file};
        if (options->file.empty() == options->settings.empty())
            throw Stop{ExitUsage, "usage_error",
                       "kronax write: give a .kxcfg file or --set name=value"};
        const std::vector<SettingValue> settings = ParseSettings("write", options->settings);
        const std::vector<std::string> ports = Ports("write", options->board);
        const LoadedFile file =
            settings.empty() ? LoadCompleteFile(options->file, context.output) : LoadedFile{};
        if (settings.empty())
            CheckRanges("write", options->file, file.snapshot, file.snapshot,
                        options->allowOutOfRange);
        const WriteRequest request{file,
                                   options->dryRun,
                                   options->verify,
                                   options->setDefault,
                                   options->noRead,
                                   settings,
                                   options->allowOutOfRange};
        context.exitCode = RunBoardCommand(
            "write", options->board, ports,
            [&request](BoardSession& session, const std::string&) {
                return WriteBoardAction(session.Guard(), request);
            },
            context);
    });
}

struct DiffOptions {
    BoardOptions board;
    std::string file;
};

void SetUpDiff(CLI::App& app, Context& context) {
    auto options = std::make_shared<DiffOptions>();
    auto* diff =
        AddCommand(app, "diff",
                   "Show every setting and payload in which the board differs from a .kxcfg file");
    AddBoardOptions(*diff, options->board);
    diff->add_option("file", options->file, "the .kxcfg file; - reads standard input")->required();
    diff->callback([options, &context] {
        context.answer = {"diff", options->board.json, options->file};
        const std::vector<std::string> ports = Ports("diff", options->board);
        const LoadedFile file = LoadCompleteFile(options->file, context.output);
        context.exitCode = RunBoardCommand(
            "diff", options->board, ports,
            [&file](BoardSession& session, const std::string&) {
                return DiffBoardAction(session.Guard(), file);
            },
            context);
    });
}

using SingleAction = PortResult (*)(GuardedChannel& channel);

void SetUpSingle(CLI::App& app, Context& context, const std::string& name,
                 const std::string& description, SingleAction action) {
    auto options = std::make_shared<BoardOptions>();
    auto* command = AddCommand(app, name, description);
    AddBoardOptions(*command, *options);
    command->callback([options, &context, name, action] {
        context.answer = {name, options->json, ""};
        context.exitCode = RunBoardCommand(
            name, *options, Ports(name, *options),
            [action](BoardSession& session, const std::string&) { return action(session.Guard()); },
            context);
    });
}

void SetUpCommands(CLI::App& app, Context& context) {
    app.require_subcommand(1);
    app.footer(ExitCodesText(""));
    SetUpPorts(app, context);
    SetUpRead(app, context);
    SetUpWrite(app, context);
    SetUpDiff(app, context);
    SetUpShow(app, context);
    SetUpSettings(app, context);
    SetUpNew(app, context);
    SetUpEdit(app, context);
    SetUpSingle(app, context, "start", "Start the board's algorithms", StartAction);
    SetUpSingle(app, context, "status", "Read the board's status", StatusAction);
    SetUpSingle(app, context, "info", "Show the board's serial number and versions", InfoAction);
    SetUpSingle(app, context, "set-default",
                "Make the configuration the board holds its power-on default", SetDefaultAction);
    SetUpHistory(app, context.output, context.exitCode, context.errorIsTerminal);
}

// Names a first word that is no command, with the nearest command when there is one.
void CheckCommandName(const CLI::App& app, const std::vector<std::string>& args) {
    std::vector<std::string> names;
    for (const CLI::App* command : app.get_subcommands({}))
        names.push_back(command->get_name());
    if (args.empty())
        throw Stop{ExitUsage, "usage_error", "kronax: give a command; kronax --help lists them"};
    const std::string& first = args.front();
    if (first.starts_with("-") || std::find(names.begin(), names.end(), first) != names.end())
        return;
    throw Stop{ExitUsage, "usage_error",
               "kronax: '" + first + "' is no command" + DidYouMean(first, names) +
                   "; kronax --help lists them"};
}

// The exit code once every port is done: a stop signal decides, then a failed write to
// standard output, then the ports' own code.
int FinalExitCode(int exitCode, Output& output) {
    if (StopSignal() != 0)
        return ExitSignalBase + StopSignal();
    if (output.OutputFailed()) {
        output.PrintError("kronax: standard output could not be written\n");
        return std::max(exitCode, static_cast<int>(ExitOutputError));
    }
    return exitCode;
}

void SetUpApp(CLI::App& app, Context& context) {
    SetUpCommands(app, context);
    app.set_version_flag("--version", std::string("kronax ") + KronaxVersion);
}

} // namespace

std::map<std::string, std::vector<std::string>> CommandOptions() {
    CLI::App app;
    std::ostringstream unused;
    Output output(unused, unused);
    Context context{output};
    SetUpApp(app, context);
    std::map<std::string, std::vector<std::string>> commands;
    const auto add = [&commands](const std::string& name, const CLI::App& command) {
        std::vector<std::string>& names = commands[name];
        for (const CLI::Option* option : command.get_options()) {
            for (const std::string& shortName : option->get_snames())
                names.push_back("-" + shortName);
            for (const std::string& longName : option->get_lnames())
                names.push_back("--" + longName);
        }
    };
    for (const CLI::App* command : app.get_subcommands({})) {
        add(command->get_name(), *command);
        for (const CLI::App* part : command->get_subcommands({}))
            add(command->get_name() + " " + part->get_name(), *part);
    }
    return commands;
}

namespace {

// The JSON line of a command that ended before it reached a port: the common keys, and the file
// it is about when there is one.
std::string StopJsonLine(const std::string& command, const std::string& file, int exitCode,
                         const std::string& errorCode, const std::string& message) {
    Json json = {{"command", command}};
    if (!file.empty())
        json["file"] = Utf8FromSystemText(file);
    json.update({{"exit_code", exitCode},
                 {"error", {{"code", errorCode}, {"message", Utf8FromSystemText(message)}}}});
    return JsonLine(json);
}

// Whether a command line that could not be parsed asked for JSON: its command takes --json and
// it is among the words.
bool AsksForJson(const std::vector<std::string>& args) {
    if (args.empty() || std::find(args.begin(), args.end(), "--json") == args.end())
        return false;
    const auto commands = CommandOptions();
    auto command = commands.end();
    if (args.size() > 1)
        command = commands.find(args[0] + " " + args[1]);
    if (command == commands.end())
        command = commands.find(args.front());
    return command != commands.end() && std::find(command->second.begin(), command->second.end(),
                                                  "--json") != command->second.end();
}

} // namespace

int RunKronax(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CLI::App app("kronax: the KRONAX board's configuration protocol from the command line",
                 "kronax");
    Output output(out, err);
    Context context{output, &err == &std::cerr && isatty(STDERR_FILENO) == 1};
    SetUpApp(app, context);
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        CheckCommandName(app, args);
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        if (app.exit(error, out, err) == 0)
            return ExitSuccess;
        if (AsksForJson(args))
            output.PrintExact(StopJsonLine(args.front(), "", ExitUsage, "usage_error",
                                           "kronax " + args.front() + ": " + error.what()));
        return ExitUsage;
    } catch (const Stop& stop) {
        output.PrintError(stop.message + "\n");
        if (context.answer.json)
            output.PrintExact(StopJsonLine(context.answer.command,
                                           stop.file.value_or(context.answer.file), stop.exitCode,
                                           stop.errorCode, stop.message));
        return stop.exitCode;
    } catch (const std::exception& error) {
        // The edge of every command: a fault ends with a line and an exit code, never an abort.
        output.PrintError(std::string("kronax: internal error: ") + error.what() + "\n");
        return ExitInternalError;
    }
    return FinalExitCode(context.exitCode, output);
}

} // namespace kronax::cli
