#include "cli/RecordsServer.h"

#include "cli/ExitCode.h"
#include "cli/Signals.h"
#include "config_file/SettingsLocation.h"
#include "protocol/SystemText.h"
#include "records/RecordOrigin.h"
#include "records/RecordTime.h"
#include "records/RecordsLocation.h"
#include "records/server/PgConnection.h"
#include "records/server/RecordForwarder.h"
#include "records/server/RecordServer.h"
#include "records/server/ServerSetting.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace kronax::cli {
namespace {

using namespace kronax::records;

std::string SettingsFile() {
    const auto folder = UserSettingsFolder();
    return folder ? (*folder / "kronax.ini").string() : std::string();
}

// The server named, or ERecordServer (Unconfigured) when none is.
std::string NamedServer() {
    const auto server = RecordsServer(std::getenv, SettingsFile());
    if (!server)
        throw ERecordServer(ServerFailure::Unconfigured,
                            "no records server is named: set KRONAX_RECORDS_SERVER or Server= "
                            "in [Records] of " +
                                SettingsFile());
    return *server;
}

std::unique_ptr<RecordStore> OpenStore(int busyTimeoutMs = RecordStore::DefaultBusyTimeoutMs) {
    const auto file = RecordsFile();
    if (!file)
        throw ERecordStore(StoreFailure::Unopenable, "no folder for the record store: set "
                                                     "HOME, XDG_DATA_HOME or KRONAX_RECORDS");
    PrepareRecordsFile(*file);
    return std::make_unique<RecordStore>(*file, busyTimeoutMs);
}

std::string Records(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " record" : " records");
}

std::string Waiting(std::size_t count) {
    return Records(count) + (count == 1 ? " waits" : " wait");
}

// "; 1 set aside (kronax history --queued names it)" after a forwarding that set records aside.
std::string SetAsideText(const ForwardReport& report) {
    return "; " + std::to_string(report.setAside) + " set aside (kronax history --queued names " +
           (report.setAside == 1 ? "it)" : "them)");
}

ServerDeadline ExchangeDeadline() {
    return ServerClock::now() + SyncLimits.exchange;
}

// Runs body, turning a failure into a line on standard error and exitCode.
void Guarded(Output& output, int& exitCode, const std::function<void()>& body) {
    try {
        body();
    } catch (const ERecordServer& error) {
        output.PrintError(std::string("kronax history: ") + error.what() + "\n");
        exitCode = ExitServerError;
    } catch (const ERecordStore& error) {
        output.PrintError(std::string("kronax history: ") + error.what() + "\n");
        exitCode = ExitRecordError;
    }
}

void SetUpSync(CLI::App& history, Output& output, int& exitCode, bool errorIsTerminal) {
    auto* sync = history.add_subcommand(
        "sync", "Forward every record that waits to the records server, with no time limit");
    sync->callback([&output, &exitCode, errorIsTerminal] {
        Guarded(output, exitCode, [&] {
            const std::string server = NamedServer();
            const auto store = OpenStore();
            if (errorIsTerminal)
                output.EnableProgress();
            // A run killed before it completed its record left it running; it is closed before
            // its record travels.
            store->CloseAbandoned(StationName(std::getenv), NowUtcMs());
            const ForwardReport report = ForwardQueued(
                *store, server, SyncLimits,
                [&](std::size_t done, std::size_t all) {
                    output.SetProgress("sync", Records(done) + " of " + std::to_string(all));
                },
                // A stop signal ends the sync once the batch under way is stored and marked.
                [] { return StopSignal() != 0; });
            output.SetProgress("sync", "");
            output.Print("Forwarded " + Records(report.forwarded) + " to " + ServerName(server) +
                         "; " + std::to_string(report.queued) + " waiting" +
                         (report.setAside == 0 ? "" : SetAsideText(report)) + ".\n");
            if (report.failure)
                throw *report.failure;
            if (report.refusal)
                throw *report.refusal;
        });
    });
}

} // namespace

void ForwardAfterRun(Output& output, bool quiet) {
    const auto server = RecordsServer(std::getenv, SettingsFile());
    if (!server)
        return;
    try {
        // The whole forwarding is bounded, opening the store (and waiting for its lock) included.
        const auto start = ServerClock::now();
        const auto store = OpenStore(static_cast<int>(AfterOperationLimits.total->count()));
        ForwardLimits limits = AfterOperationLimits;
        limits.total =
            std::max(std::chrono::milliseconds(1),
                     *limits.total - std::chrono::duration_cast<std::chrono::milliseconds>(
                                         ServerClock::now() - start));
        const ForwardReport report = ForwardQueued(*store, *server, limits);
        if (report.refusal && !quiet)
            output.PrintError("kronax: " + Records(report.setAside) +
                              " set aside, not to be forwarded again (kronax history --queued "
                              "names " +
                              (report.setAside == 1 ? "it" : "them") +
                              "): " + report.refusal->what() + "\n");
        if (report.failure && !quiet)
            output.PrintError("kronax: " + Waiting(report.queued) +
                              " to be forwarded (kronax history sync): " + report.failure->what() +
                              "\n");
    } catch (const std::exception& error) {
        // The board's outcome stands whatever the store or the server holds.
        if (!quiet)
            output.PrintError(std::string("kronax: records not forwarded: ") + error.what() + "\n");
    }
}

void SetUpServerCommands(CLI::App& history, Output& output, int& exitCode, bool errorIsTerminal) {
    history
        .add_subcommand("server-schema",
                        "Print the SQL that makes the records server's schema, for its "
                        "administrator")
        ->callback([&output] { output.PrintExact(ServerSchemaSql()); });
    history.add_subcommand("init-server", "Make or migrate the records server's schema")
        ->callback([&output, &exitCode] {
            Guarded(output, exitCode, [&] {
                PgConnection connection(NamedServer(), ExchangeDeadline());
                const int before = RecordServer(connection).InitSchema(ExchangeDeadline());
                output.Print("The records server " + connection.Name() + " has schema version " +
                             std::to_string(RecordServer::SchemaVersion) + " (it had " +
                             std::to_string(before) + ").\n");
            });
        });
    SetUpSync(history, output, exitCode, errorIsTerminal);
}

std::vector<BoardRecord> ServerRecords(const RecordFilter& filter, const std::string& station) {
    PgConnection connection(NamedServer(), ExchangeDeadline());
    RecordServer server(connection);
    server.CheckSchema(ExchangeDeadline());
    return server.Query(
        {filter, station.empty() ? std::nullopt : std::optional<std::string>(station)},
        ExchangeDeadline());
}

std::string QueuedText(RecordStore& store) {
    const auto server = RecordsServer(std::getenv, SettingsFile());
    std::string text = Waiting(store.QueuedCount()) + " to be forwarded to " +
                       (server ? ServerName(*server) : "a records server (none is named)") + ".\n";
    const auto aside = store.SetAsideRecords();
    if (aside.empty())
        return text;
    text += Records(aside.size()) + (aside.size() == 1 ? " is" : " are") +
            " set aside: the records server refused " + (aside.size() == 1 ? "it" : "them") +
            " for what " + (aside.size() == 1 ? "it holds" : "they hold") +
            " (completing a record again sends it again):\n";
    for (const auto& record : aside)
        text += "  " + record.id + "  " + UtcTimeText(record.atMs) + "  " + record.reason + "\n";
    return text;
}

bool ForwardsRecords() {
    return RecordsServer(std::getenv, SettingsFile()).has_value();
}

nlohmann::ordered_json QueuedJson(RecordStore& store) {
    const auto server = RecordsServer(std::getenv, SettingsFile());
    nlohmann::ordered_json aside = nlohmann::ordered_json::array();
    for (const auto& record : store.SetAsideRecords())
        aside.push_back({{"id", Utf8FromSystemText(record.id)},
                         {"at_ms", record.atMs},
                         {"reason", Utf8FromSystemText(record.reason)}});
    return {{"queued", store.QueuedCount()},
            {"server", server ? nlohmann::ordered_json(Utf8FromSystemText(ServerName(*server)))
                              : nlohmann::ordered_json(nullptr)},
            {"set_aside", aside}};
}

} // namespace kronax::cli
