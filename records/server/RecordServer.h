#pragma once

#include "records/BoardRecord.h"
#include "records/RecordStore.h"
#include "records/server/PgConnection.h"

#include <optional>
#include <string>
#include <vector>

namespace kronax::records {

// Which records a query of the server returns: those of the local store's filter, also by
// station. Texts are system text, as in records.
struct ServerFilter {
    RecordFilter records = {};
    std::optional<std::string> station = {};
};

// The shared server's side of the records: the table kronax_records, one row per record id with
// the columns people query by (station, board identity, time, operation, outcome) and the whole
// record as JSON, the same form the local store keeps.
//
// Schema (the table kronax_schema holds its version):
//   1  kronax_records with indexes on board serial, start time and station
class RecordServer {
public:
    static constexpr int SchemaVersion = 1;

    // connection must outlive the server.
    explicit RecordServer(PgConnection& connection) : connection_(connection) {}

    // Creates the schema or migrates an earlier one, in one transaction; two stations doing it
    // at once do it once. Returns the version found before. Raises ERecordServer.
    int InitSchema(ServerDeadline deadline);

    // Raises ERecordServer (Schema) unless the server's schema is this program's version.
    void CheckSchema(ServerDeadline deadline);

    // Raises ERecordServer (Schema) unless kronax_records has this program's columns, with their
    // types, and a unique key on id: a table of that name that another program made is no place
    // for records. Asked after a statement failed, so that a refusal is not taken for the
    // record's fault when the table is to blame.
    void CheckTable(ServerDeadline deadline);

    // Stores records in one statement. A record already there is replaced only when the stored
    // one is still running and the incoming one is complete, so a record sent twice is kept once
    // and a record completed after it was forwarded is completed on the server too. Raises
    // ERecordServer.
    void Store(const std::vector<BoardRecord>& records, ServerDeadline deadline);

    // The records filter selects, newest first. Raises ERecordServer.
    std::vector<BoardRecord> Query(const ServerFilter& filter, ServerDeadline deadline);

private:
    PgConnection& connection_;
};

// The SQL that creates the current schema from nothing, for a database administrator to run.
std::string ServerSchemaSql();

} // namespace kronax::records
