#include "cli/HistoryCommand.h"

#include "cli/CommandHelp.h"
#include "cli/ExitCode.h"
#include "cli/RecordsServer.h"
#include "protocol/PayloadKind.h"
#include "protocol/SystemText.h"
#include "records/RecordJson.h"
#include "records/RecordStore.h"
#include "records/RecordTime.h"
#include "records/RecordsLocation.h"
#include "records/server/ServerError.h"

#include <fstream>
#include <memory>

namespace kronax::cli {
namespace {

using namespace kronax::records;
using Json = nlohmann::ordered_json;

// Ends a history command with a message on standard error.
struct HistoryStop {
    int exitCode;
    std::string message;
};

RecordStore& OpenStore(std::unique_ptr<RecordStore>& store) {
    const auto file = RecordsFile();
    if (!file)
        throw HistoryStop{ExitRecordError, "kronax history: no folder for the record store: set "
                                           "HOME, XDG_DATA_HOME or KRONAX_RECORDS"};
    try {
        PrepareRecordsFile(*file);
        store = std::make_unique<RecordStore>(*file);
    } catch (const ERecordStore& error) {
        throw HistoryStop{ExitRecordError, std::string("kronax history: ") + error.what()};
    }
    return *store;
}

std::int64_t TimeOption(const std::string& option, const std::string& text) {
    const auto ms = ParseUtcTime(text);
    if (!ms)
        throw HistoryStop{ExitUsage, "kronax history: " + option +
                                         " needs a UTC time such as 2026-12-09 or "
                                         "2026-12-09T13:50, not '" +
                                         text + "'"};
    return *ms;
}

std::string Blank(const std::string& text) {
    return text.empty() ? "-" : text;
}

// One line for people: short id, time, station, port, board serial, operation, outcome, file.
std::string ListLine(const BoardRecord& record) {
    const std::string fields[] = {record.id.substr(0, 8),
                                  UtcTimeText(record.startedMs),
                                  Blank(record.station),
                                  Blank(record.port.name),
                                  record.board ? Blank(record.board->serialNumber) : "-",
                                  record.operation,
                                  record.Outcome(),
                                  record.filePath.value_or("-")};
    std::string line;
    for (const std::string& field : fields)
        line += (line.empty() ? "" : "  ") + Utf8FromSystemText(field);
    return line + "\n";
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

constexpr const char* CsvHeader = "id,started_utc,ended_utc,station,user,port,port_path,"
                                  "board_serial,operation,outcome,exit_code,error_code,file,"
                                  "file_sha256\n";

std::string CsvLine(const BoardRecord& record) {
    const std::string fields[] = {record.id,
                                  UtcTimeText(record.startedMs),
                                  record.endedMs ? UtcTimeText(*record.endedMs) : "",
                                  record.station,
                                  record.user,
                                  record.port.name,
                                  record.port.path,
                                  record.board ? record.board->serialNumber : "",
                                  record.operation,
                                  record.Outcome(),
                                  record.exitCode ? std::to_string(*record.exitCode) : "",
                                  record.errorCode,
                                  record.filePath.value_or(""),
                                  record.fileSha256.value_or("")};
    std::string line;
    for (const std::string& field : fields)
        line += (line.empty() ? "" : ",") + CsvField(Utf8FromSystemText(field));
    return line + "\n";
}

// A record as scripts read it: what is not known is null, never an empty text.
Json RecordJson(const BoardRecord& record) {
    Json json = RecordToJson(record);
    for (auto& [key, value] : json["port"].items())
        if (key != "name" && value == "")
            value = nullptr;
    return json;
}

std::string JsonOutputLine(const BoardRecord& record) {
    const Json json = {{"command", "history"},
                       {"exit_code", 0},
                       {"error", nullptr},
                       {"record", RecordJson(record)}};
    return json.dump() + "\n";
}

std::string ErrorCodeOf(int exitCode) {
    switch (exitCode) {
    case ExitUsage:
        return "usage_error";
    case ExitFileError:
        return "file_error";
    case ExitServerError:
        return "server_error";
    default:
        return "record_error";
    }
}

// "SEN 010100000000, CDM 0001, ...", a dash for a payload not had.
std::string PayloadsLine(const RecordedPayloads& payloads) {
    std::string text;
    for (std::size_t index = 0; index < PayloadKinds.size(); ++index)
        text += (text.empty() ? "" : ", ") + std::string(KindName(PayloadKinds[index])) + " " +
                payloads[index].value_or("-");
    return text;
}

// Every step and traffic line of the record, for people.
std::string RecordText(const BoardRecord& record) {
    std::string text = ListLine(record);
    const auto line = [&text](const std::string& name, const std::string& value) {
        text += name + ": " + Utf8FromSystemText(value) + "\n";
    };
    line("id", record.id);
    line("ended", record.endedMs ? UtcTimeText(*record.endedMs) : "(running)");
    line("user", record.user);
    line("program", record.program + " " + record.version);
    line("port", record.port.name + " " + record.port.path +
                     (record.port.vendorId.empty()
                          ? ""
                          : " USB " + record.port.vendorId + ":" + record.port.productId +
                                " serial " + Blank(record.port.usbSerial)));
    if (record.board)
        line("board", "serial " + record.board->serialNumber + ", PCB " + record.board->pcbVersion +
                          ", FPGA " + record.board->fpgaVersion + ", uC " +
                          record.board->ucVersion);
    if (record.fileSha256)
        line("file sha256", *record.fileSha256);
    const std::pair<const char*, const std::optional<RecordedPayloads>&> payloadSets[] = {
        {"payloads before", record.before},
        {"payloads sent", record.sent},
        {"payloads verified", record.verified},
        {"payloads received", record.received}};
    for (const auto& [name, payloads] : payloadSets)
        if (payloads)
            line(name, PayloadsLine(*payloads));
    line("exit code", (record.exitCode ? std::to_string(*record.exitCode) : "-") +
                          (record.errorCode.empty() ? "" : " (" + record.errorCode + ")"));
    for (const RecordedStep& step : record.steps)
        line("step", step.command + " -> " + step.outcome);
    for (const RecordedLogLine& traffic : record.traffic)
        text += "  +" + std::to_string(traffic.offsetMs) + " ms  " +
                Utf8FromSystemText(traffic.line) + "\n";
    return text;
}

struct ListOptions {
    std::string board, port, operation, since, until;
    bool failed = false;
    std::optional<std::size_t> limit;
    bool json = false;
    bool csv = false;
    bool server = false; // the records server's records instead of the store's
    std::string station;
    bool queued = false;
};

RecordFilter FilterOf(const ListOptions& options) {
    RecordFilter filter;
    const auto optional = [](const std::string& text) {
        return text.empty() ? std::nullopt : std::optional(SystemTextFromUtf8(text));
    };
    filter.boardSerial = optional(options.board);
    filter.port = optional(options.port);
    filter.operation = optional(options.operation);
    if (!options.since.empty())
        filter.sinceMs = TimeOption("--since", options.since);
    if (!options.until.empty())
        filter.untilMs = TimeOption("--until", options.until);
    filter.failedOnly = options.failed;
    filter.limit = options.limit;
    return filter;
}

// Runs body, turning a stop or a store failure into the exit code and a message, and with json
// into a JSON line too.
void Guarded(Output& output, int& exitCode, bool json, const std::function<void()>& body) {
    std::string message;
    try {
        body();
        return;
    } catch (const HistoryStop& stop) {
        message = stop.message;
        exitCode = stop.exitCode;
    } catch (const ERecordStore& error) {
        message = std::string("kronax history: ") + error.what();
        exitCode = ExitRecordError;
    } catch (const ERecordServer& error) {
        message = std::string("kronax history: ") + error.what();
        exitCode = ExitServerError;
    }
    output.PrintError(message + "\n");
    if (json)
        output.PrintExact(
            Json({{"command", "history"},
                  {"exit_code", exitCode},
                  {"error",
                   {{"code", ErrorCodeOf(exitCode)}, {"message", Utf8FromSystemText(message)}}}})
                .dump() +
            "\n");
}

void SetUpShow(CLI::App& history, Output& output, int& exitCode) {
    struct Options {
        std::string id;
        bool json = false;
    };
    auto options = std::make_shared<Options>();
    auto* show = history.add_subcommand("show", "Show one record whole, traffic log included");
    show->add_option("id", options->id, "the record's id, or its first characters")->required();
    show->add_flag("--json", options->json, "print it as one JSON object");
    show->callback([options, &output, &exitCode] {
        Guarded(output, exitCode, options->json, [&] {
            std::unique_ptr<RecordStore> store;
            const auto record = OpenStore(store).Find(options->id);
            if (!record)
                throw HistoryStop{ExitUsage, "kronax history: no record " + options->id};
            if (options->json)
                output.PrintExact(JsonOutputLine(*record));
            else
                output.Print(RecordText(*record));
        });
    });
}

void SetUpExport(CLI::App& history, Output& output, int& exitCode) {
    struct Options {
        std::string format;
        std::string file;
    };
    auto options = std::make_shared<Options>();
    auto* exported = history.add_subcommand(
        "export", "Print every record for a manufacturing system: JSON Lines or CSV");
    exported->add_option("--format", options->format, "jsonl or csv")
        ->required()
        ->check(CLI::IsMember({"jsonl", "csv"}));
    exported->add_option("--output", options->file, "write to this file instead");
    exported->callback([options, &output, &exitCode] {
        Guarded(output, exitCode, false, [&] {
            std::unique_ptr<RecordStore> store;
            OpenStore(store);
            std::ofstream file;
            if (!options->file.empty()) {
                file.open(options->file, std::ios::binary | std::ios::trunc);
                if (!file)
                    throw HistoryStop{ExitFileError,
                                      "kronax history: cannot write " + options->file};
            }
            const bool csv = options->format == "csv";
            const auto emit = [&](const std::string& text) {
                if (file.is_open())
                    file << text;
                else
                    output.PrintExact(text);
            };
            if (csv)
                emit(CsvHeader);
            store->Each({}, [&](const BoardRecord& record) {
                emit(csv ? CsvLine(record) : RecordJson(record).dump() + "\n");
            });
            if (file.is_open() && !file.flush())
                throw HistoryStop{ExitFileError, "kronax history: cannot write " + options->file};
        });
    });
}

void SetUpPrune(CLI::App& history, Output& output, int& exitCode) {
    struct Options {
        std::string before;
        bool includeUnforwarded = false;
    };
    auto options = std::make_shared<Options>();
    auto* prune = history.add_subcommand(
        "prune", "Delete every record started before a UTC date, without asking");
    prune->add_option("--before", options->before, "UTC date or time, such as 2026-01-01")
        ->required();
    prune->add_flag("--include-unforwarded", options->includeUnforwarded,
                    "delete records not yet forwarded to the records server too");
    prune->callback([options, &output, &exitCode] {
        Guarded(output, exitCode, false, [&] {
            const std::int64_t ms = TimeOption("--before", options->before);
            std::unique_ptr<RecordStore> store;
            // Where no server is named there is nothing to forward to: every record is pruned.
            const auto pruned =
                OpenStore(store).PruneBefore(ms, ForwardsRecords() && !options->includeUnforwarded);
            output.Print("Pruned " + std::to_string(pruned.deleted) + " records started before " +
                         UtcTimeText(ms) + " UTC" +
                         (pruned.kept == 0 ? std::string()
                                           : "; kept " + std::to_string(pruned.kept) +
                                                 " not yet forwarded to the records server "
                                                 "(--include-unforwarded deletes them)") +
                         ".\n");
        });
    });
}

} // namespace

void SetUpHistory(CLI::App& app, Output& output, int& exitCode, bool errorIsTerminal) {
    auto options = std::make_shared<ListOptions>();
    auto* history = app.add_subcommand(
        "history", "List the records of board operations, newest first (time in UTC)");
    history->add_option("--board", options->board, "only this board serial number");
    history->add_option("--port", options->port, "only this port, as it was named");
    history->add_option("--operation", options->operation,
                        "only this operation: read, write, diff, start, status, info, "
                        "set-default, or one of the window's");
    history->add_option("--since", options->since, "only those started at or after this UTC time");
    history->add_option("--until", options->until, "only those started before this UTC time");
    history->add_flag("--failed", options->failed, "only failed and unfinished ones");
    history->add_option("--limit", options->limit, "at most this many (0: none)");
    auto* json = history->add_flag("--json", options->json, "one JSON object per record");
    history->add_flag("--csv", options->csv, "CSV with a header line")->excludes(json);
    auto* server = history->add_flag("--server", options->server,
                                     "ask the records server, for the records of every station");
    history->add_option("--station", options->station, "only this station (with --server)")
        ->needs(server);
    history
        ->add_flag("--queued", options->queued,
                   "say how many records wait to be forwarded to the records server")
        ->excludes(server);
    history->footer(CommandFooter("history"));
    history->require_subcommand(0, 1);
    SetUpShow(*history, output, exitCode);
    SetUpExport(*history, output, exitCode);
    SetUpPrune(*history, output, exitCode);
    SetUpServerCommands(*history, output, exitCode, errorIsTerminal);
    history->final_callback([options, history, &output, &exitCode] {
        if (!history->get_subcommands().empty())
            return;
        Guarded(output, exitCode, options->json, [&] {
            const RecordFilter filter = FilterOf(*options);
            const auto print = [&](const BoardRecord& record) {
                if (options->json || options->csv)
                    output.PrintExact(options->json ? JsonOutputLine(record) : CsvLine(record));
                else
                    output.Print(ListLine(record));
            };
            if (options->server) {
                const auto records = ServerRecords(filter, SystemTextFromUtf8(options->station));
                if (options->csv)
                    output.PrintExact(CsvHeader);
                std::for_each(records.begin(), records.end(), print);
                return;
            }
            std::unique_ptr<RecordStore> store;
            OpenStore(store);
            if (options->queued) {
                if (!options->json) {
                    output.Print(QueuedText(*store));
                    return;
                }
                Json queued = {{"command", "history"}, {"exit_code", 0}, {"error", nullptr}};
                queued.update(QueuedJson(*store));
                output.PrintExact(queued.dump() + "\n");
                return;
            }
            if (options->csv)
                output.PrintExact(CsvHeader);
            store->Each(filter, print);
        });
    });
}

} // namespace kronax::cli
