#include "cli/RecordsServer.h"

#include "cli/ExitCode.h"
#include "config_file/SettingsLocation.h"
#include "records/RecordsLocation.h"
#include "records/server/PgConnection.h"
#include "records/server/RecordForwarder.h"
#include "records/server/RecordServer.h"
#include "records/server/ServerSetting.h"

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

std::unique_ptr<RecordStore> OpenStore() {
    const auto file = RecordsFile();
    if (!file)
        throw ERecordStore(StoreFailure::Unopenable, "no folder for the record store: set "
                                                     "HOME, XDG_DATA_HOME or KRONAX_RECORDS");
    PrepareRecordsFile(*file);
    return std::make_unique<RecordStore>(*file);
}

std::string Records(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " record" : " records");
}

std::string Waiting(std::size_t count) {
    return Records(count) + (count == 1 ? " waits" : " wait");
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
            const ForwardReport report =
                ForwardQueued(*store, server, SyncLimits, [&](std::size_t done, std::size_t all) {
                    output.SetProgress("sync", Records(done) + " of " + std::to_string(all));
                });
            output.SetProgress("sync", "");
            output.Print("Forwarded " + Records(report.forwarded) + " to " + ServerName(server) +
                         "; " + std::to_string(report.queued) + " waiting.\n");
            if (report.failure)
                throw *report.failure;
        });
    });
}

} // namespace

void ForwardAfterRun(Output& output, bool quiet) {
    const auto server = RecordsServer(std::getenv, SettingsFile());
    if (!server)
        return;
    try {
        const auto store = OpenStore();
        const ForwardReport report = ForwardQueued(*store, *server, AfterOperationLimits);
        if (report.failure && !quiet)
            output.PrintError("kronax: " + Waiting(report.queued) +
                              " to be forwarded (kronax history sync): " + report.failure->what() +
                              "\n");
    } catch (const ERecordStore& error) {
        if (!quiet)
            output.PrintError(std::string("kronax: records not forwarded: ") + error.what() + "\n");
    }
}

void SetUpServerCommands(CLI::App& history, Output& output, int& exitCode, bool errorIsTerminal) {
    history
        .add_subcommand("server-schema",
                        "Print the SQL that makes the records server's schema, for its "
                        "administrator")
        ->callback([&output] { output.Print(ServerSchemaSql()); });
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
    return Waiting(store.QueuedCount()) + " to be forwarded to " +
           (server ? ServerName(*server) : "a records server (none is named)") + ".\n";
}

} // namespace kronax::cli
