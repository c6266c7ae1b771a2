#include "records/server/RecordServer.h"

#include "protocol/SystemText.h"
#include "records/RecordJson.h"

#include <array>

namespace kronax::records {
namespace {

// The step from version n to n + 1 is Migrations[n]; released steps never change.
constexpr std::array<const char*, RecordServer::SchemaVersion> Migrations = {
    R"(CREATE TABLE kronax_records (
    id text PRIMARY KEY,
    started_ms bigint NOT NULL,
    ended_ms bigint,
    station text NOT NULL,
    user_name text NOT NULL,
    program text NOT NULL,
    version text NOT NULL,
    operation text NOT NULL,
    port text NOT NULL,
    board_serial text,
    pcb_version text,
    fpga_version text,
    uc_version text,
    file text,
    file_sha256 text,
    exit_code integer,
    error_code text,
    body json NOT NULL,
    received_at timestamptz NOT NULL DEFAULT now());
CREATE INDEX kronax_records_by_board ON kronax_records (board_serial, started_ms);
CREATE INDEX kronax_records_by_start ON kronax_records (started_ms);
CREATE INDEX kronax_records_by_station ON kronax_records (station, started_ms);
)",
};

constexpr const char* VersionTableSql =
    "CREATE TABLE IF NOT EXISTS kronax_schema (version integer NOT NULL);\n";

// Any number that no other program on the database is likely to lock.
constexpr const char* InitLockSql = "SELECT pg_advisory_xact_lock(5876301)";

// The columns come from the record's JSON form, so one parameter carries a whole batch. The body
// is kept as json, not jsonb: json keeps any text a board sent, an escaped NUL included.
constexpr const char* StoreSql = R"(INSERT INTO kronax_records AS stored
    (id, started_ms, ended_ms, station, user_name, program, version, operation, port,
     board_serial, pcb_version, fpga_version, uc_version, file, file_sha256, exit_code,
     error_code, body)
SELECT r->>'id', (r->>'started_ms')::bigint, (r->>'ended_ms')::bigint, r->>'station',
       r->>'user', r->>'program', r->>'version', r->>'operation', r->'port'->>'name',
       r->'board'->>'serial_number', r->'board'->>'pcb_version', r->'board'->>'fpga_version',
       r->'board'->>'uc_version', r->>'file', r->>'file_sha256', (r->>'exit_code')::integer,
       r->>'error_code', r
FROM json_array_elements($1::json) AS r
ON CONFLICT (id) DO UPDATE SET
    ended_ms = EXCLUDED.ended_ms, board_serial = EXCLUDED.board_serial,
    pcb_version = EXCLUDED.pcb_version, fpga_version = EXCLUDED.fpga_version,
    uc_version = EXCLUDED.uc_version, file = EXCLUDED.file, file_sha256 = EXCLUDED.file_sha256,
    exit_code = EXCLUDED.exit_code, error_code = EXCLUDED.error_code, body = EXCLUDED.body,
    received_at = now()
WHERE stored.ended_ms IS NULL AND EXCLUDED.ended_ms IS NOT NULL)";

int Version(PgConnection& connection, ServerDeadline deadline) {
    const PgRows found =
        connection.Run("SELECT to_regclass('kronax_schema') IS NOT NULL", {}, deadline);
    if (found.at(0).at(0) != "t")
        return 0;
    const PgRows rows = connection.Run("SELECT max(version) FROM kronax_schema", {}, deadline);
    return rows.at(0).at(0) ? std::stoi(*rows.at(0).at(0)) : 0;
}

} // namespace

std::string ServerSchemaSql() {
    std::string sql = "BEGIN;\n";
    sql += VersionTableSql;
    for (const char* step : Migrations)
        sql += step;
    return sql + "INSERT INTO kronax_schema (version) VALUES (" +
           std::to_string(RecordServer::SchemaVersion) + ");\nCOMMIT;\n";
}

int RecordServer::InitSchema(ServerDeadline deadline) {
    connection_.Run("BEGIN", {}, deadline);
    try {
        connection_.Run(InitLockSql, {}, deadline);
        const int found = Version(connection_, deadline);
        if (found > SchemaVersion)
            throw ERecordServer(ServerFailure::Schema,
                                "the records server has schema version " + std::to_string(found) +
                                    ", newer than this program's " + std::to_string(SchemaVersion));
        std::string sql = VersionTableSql;
        for (int step = found; step < SchemaVersion; ++step)
            sql += Migrations[static_cast<std::size_t>(step)];
        sql += "DELETE FROM kronax_schema;\nINSERT INTO kronax_schema (version) VALUES (" +
               std::to_string(SchemaVersion) + ");\nCOMMIT;";
        connection_.Run(sql, {}, deadline);
        return found;
    } catch (const ERecordServer& error) {
        // A connection that timed out is busy; its owner drops it, which ends the transaction.
        if (error.Failure() != ServerFailure::TimedOut)
            connection_.Run("ROLLBACK", {}, deadline);
        throw;
    }
}

void RecordServer::CheckSchema(ServerDeadline deadline) {
    const int found = Version(connection_, deadline);
    if (found == 0)
        throw ERecordServer(ServerFailure::Schema,
                            "the records server " + connection_.Name() +
                                " has no records schema (kronax history init-server makes it)");
    if (found != SchemaVersion)
        throw ERecordServer(ServerFailure::Schema,
                            "the records server " + connection_.Name() + " has schema version " +
                                std::to_string(found) + ", this program writes version " +
                                std::to_string(SchemaVersion));
}

void RecordServer::Store(const std::vector<BoardRecord>& records, ServerDeadline deadline) {
    if (records.empty())
        return;
    nlohmann::ordered_json batch = nlohmann::ordered_json::array();
    for (const BoardRecord& record : records)
        batch.push_back(RecordToJson(record));
    connection_.Run(StoreSql, {batch.dump()}, deadline);
}

std::vector<BoardRecord> RecordServer::Query(const ServerFilter& filter, ServerDeadline deadline) {
    std::vector<std::optional<std::string>> parameters;
    std::string where;
    // The filter holds system text, as records do; the server's columns hold their JSON form's
    // UTF-8.
    const auto utf8 = [](const std::optional<std::string>& text) {
        return text ? std::optional(Utf8FromSystemText(*text)) : std::nullopt;
    };
    const auto add = [&](const std::string& condition, std::optional<std::string> parameter) {
        where += (where.empty() ? " WHERE " : " AND ") + condition;
        if (parameter) {
            parameters.push_back(std::move(parameter));
            where += "$" + std::to_string(parameters.size());
        }
    };
    const RecordFilter& records = filter.records;
    if (records.boardSerial)
        add("board_serial = ", utf8(records.boardSerial));
    if (records.port)
        add("port = ", utf8(records.port));
    if (filter.station)
        add("station = ", utf8(filter.station));
    if (records.operation)
        add("operation = ", utf8(records.operation));
    if (records.sinceMs)
        add("started_ms >= ", std::to_string(*records.sinceMs));
    if (records.untilMs)
        add("started_ms < ", std::to_string(*records.untilMs));
    if (records.failedOnly)
        add("(exit_code IS NULL OR exit_code <> 0)", std::nullopt);
    std::string sql = "SELECT body FROM kronax_records" + where + " ORDER BY started_ms DESC, id";
    if (records.limit)
        sql += " LIMIT " + std::to_string(*records.limit);
    std::vector<BoardRecord> found;
    for (const auto& row : connection_.Run(sql, parameters, deadline)) {
        try {
            found.push_back(RecordFromJson(nlohmann::json::parse(row.at(0).value_or("null"))));
        } catch (const nlohmann::json::exception& error) {
            throw ERecordServer(ServerFailure::Failed,
                                std::string("a record on the server cannot be read: ") +
                                    error.what());
        }
    }
    return found;
}

} // namespace kronax::records
