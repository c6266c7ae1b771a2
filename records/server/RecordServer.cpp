#include "records/server/RecordServer.h"

#include "protocol/SystemText.h"
#include "records/RecordJson.h"

#include <array>
#include <charconv>

namespace kronax::records {
namespace {

using Json = nlohmann::ordered_json;

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

// One parameter carries a whole batch: for each record its columns and its JSON form as a
// string. The columns are made here, not extracted on the server, because PostgreSQL's text
// cannot hold the NUL a board may send and its json operators refuse to extract anything from a
// document that holds one. The body is json, not jsonb: json keeps the text as it came, so an
// escaped NUL and every other byte come back exactly.
constexpr const char* StoreSql = R"(INSERT INTO kronax_records AS stored
    (id, started_ms, ended_ms, station, user_name, program, version, operation, port,
     board_serial, pcb_version, fpga_version, uc_version, file, file_sha256, exit_code,
     error_code, body)
SELECT r->>'id', (r->>'started_ms')::bigint, (r->>'ended_ms')::bigint, r->>'station',
       r->>'user_name', r->>'program', r->>'version', r->>'operation', r->>'port',
       r->>'board_serial', r->>'pcb_version', r->>'fpga_version', r->>'uc_version', r->>'file',
       r->>'file_sha256', (r->>'exit_code')::integer, r->>'error_code', (r->>'body')::json
FROM json_array_elements($1::json) AS r
ON CONFLICT (id) DO UPDATE SET
    ended_ms = EXCLUDED.ended_ms, board_serial = EXCLUDED.board_serial,
    pcb_version = EXCLUDED.pcb_version, fpga_version = EXCLUDED.fpga_version,
    uc_version = EXCLUDED.uc_version, file = EXCLUDED.file, file_sha256 = EXCLUDED.file_sha256,
    exit_code = EXCLUDED.exit_code, error_code = EXCLUDED.error_code, body = EXCLUDED.body,
    received_at = now()
WHERE stored.ended_ms IS NULL AND EXCLUDED.ended_ms IS NOT NULL)";

// The columns' texts are for queries; the body keeps each text whole. Longer ones would not fit
// an index entry (at most about 2.7 kB).
constexpr std::size_t ColumnTextLimit = 1000;

// A text as a column holds it: UTF-8 without NUL (shown as U+FFFD), cut to the limit at a
// character's start.
Json ColumnText(const std::string& systemText) {
    std::string text = Utf8FromSystemText(systemText);
    for (std::size_t at = text.find('\0'); at != std::string::npos; at = text.find('\0', at))
        text.replace(at, 1, "\xEF\xBF\xBD");
    if (text.size() > ColumnTextLimit) {
        std::size_t cut = ColumnTextLimit;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
        text.resize(cut);
    }
    return text;
}

Json OptionalColumnText(const std::optional<std::string>& systemText) {
    return systemText ? ColumnText(*systemText) : Json(nullptr);
}

Json OptionalNumber(const auto& number) {
    return number ? Json(*number) : Json(nullptr);
}

// The row StoreSql makes of record.
Json StoredRow(const BoardRecord& record) {
    const std::optional<BoardIdentityFields>& board = record.board;
    const auto field = [&board](std::string BoardIdentityFields::*member) {
        return board ? ColumnText((*board).*member) : Json(nullptr);
    };
    return {{"id", record.id},
            {"started_ms", record.startedMs},
            {"ended_ms", OptionalNumber(record.endedMs)},
            {"station", ColumnText(record.station)},
            {"user_name", ColumnText(record.user)},
            {"program", ColumnText(record.program)},
            {"version", ColumnText(record.version)},
            {"operation", ColumnText(record.operation)},
            {"port", ColumnText(record.port.name)},
            {"board_serial", field(&BoardIdentityFields::serialNumber)},
            {"pcb_version", field(&BoardIdentityFields::pcbVersion)},
            {"fpga_version", field(&BoardIdentityFields::fpgaVersion)},
            {"uc_version", field(&BoardIdentityFields::ucVersion)},
            {"file", OptionalColumnText(record.filePath)},
            {"file_sha256", OptionalColumnText(record.fileSha256)},
            {"exit_code", OptionalNumber(record.exitCode)},
            {"error_code", record.errorCode.empty() ? Json(nullptr) : ColumnText(record.errorCode)},
            {"body", RecordToJson(record).dump()}};
}

// The one value a query answers, or nothing when it answers null or no row at all.
std::optional<std::string> OneValue(const PgRows& rows) {
    if (rows.empty() || rows.front().empty())
        return std::nullopt;
    return rows.front().front();
}

// A server's text in a one-line message: its start, printable ASCII only.
std::string Shown(const std::string& text) {
    std::string shown = text.substr(0, 40);
    for (char& c : shown)
        if (c < ' ' || c > '~')
            c = '?';
    return shown;
}

// The version a server's kronax_schema holds. Whatever a server answers is taken as input: a
// table of that name that some other program made may hold anything.
int Version(PgConnection& connection, ServerDeadline deadline) {
    const PgRows found =
        connection.Run("SELECT to_regclass('kronax_schema') IS NOT NULL", {}, deadline);
    if (OneValue(found) != "t")
        return 0;
    const auto text =
        OneValue(connection.Run("SELECT max(version)::text FROM kronax_schema", {}, deadline));
    if (!text)
        return 0;
    int version = 0;
    const char* end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, version);
    if (error != std::errc() || stop != end || version < 0)
        throw ERecordServer(ServerFailure::Schema, "the records server " + connection.Name() +
                                                       " has a schema version that is not one: '" +
                                                       Shown(*text) + "'");
    return version;
}

// The columns a station writes and their types, in the order of their names, and whether a
// unique index on id alone (what ON CONFLICT (id) needs) exists: a table of that name that some
// other program made is no place for records.
constexpr const char* ShapeSql = R"(SELECT
    (SELECT string_agg(attname || ' ' || format_type(atttypid, atttypmod), ', ' ORDER BY attname)
     FROM pg_attribute WHERE attrelid = to_regclass('kronax_records') AND attnum > 0 AND
         NOT attisdropped AND attname = ANY ($1::text[])),
    EXISTS (SELECT 1 FROM pg_index JOIN pg_attribute ON attrelid = indrelid AND attnum = indkey[0]
            WHERE indrelid = to_regclass('kronax_records') AND indisunique AND indnatts = 1 AND
                attname = 'id'))";

constexpr const char* StoredColumns =
    "{board_serial,body,ended_ms,error_code,exit_code,file,file_sha256,fpga_version,id,"
    "operation,pcb_version,port,program,received_at,started_ms,station,uc_version,user_name,"
    "version}";

constexpr const char* StoredShape =
    "board_serial text, body json, ended_ms bigint, error_code text, exit_code integer, file "
    "text, file_sha256 text, fpga_version text, id text, operation text, pcb_version text, port "
    "text, program text, received_at timestamp with time zone, started_ms bigint, station text, "
    "uc_version text, user_name text, version text";

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

void RecordServer::CheckTable(ServerDeadline deadline) {
    const PgRows shape = connection_.Run(ShapeSql, {StoredColumns}, deadline);
    if (shape.size() != 1 || shape[0].size() != 2 || shape[0][0] != StoredShape ||
        shape[0][1] != "t")
        throw ERecordServer(ServerFailure::Schema,
                            "the records server " + connection_.Name() +
                                " has a table kronax_records that is not the records schema's "
                                "(its columns or its key on id differ)");
}

void RecordServer::Store(const std::vector<BoardRecord>& records, ServerDeadline deadline) {
    if (records.empty())
        return;
    Json batch = Json::array();
    for (const BoardRecord& record : records)
        batch.push_back(StoredRow(record));
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
    PgRows rows;
    try {
        rows = connection_.Run(sql, parameters, deadline);
    } catch (const ERecordServer& error) {
        // A table that is not ours says so rather than name a column it lacks.
        if (error.Failure() == ServerFailure::Failed)
            CheckTable(deadline);
        throw;
    }
    std::vector<BoardRecord> found;
    for (const auto& row : rows) {
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
