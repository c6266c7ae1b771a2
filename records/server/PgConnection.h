#pragma once

#include "records/server/ServerError.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

struct pg_conn;

namespace kronax::records {

using ServerClock = std::chrono::steady_clock;
using ServerDeadline = ServerClock::time_point;

// The rows of a result, each column's text or null.
using PgRows = std::vector<std::vector<std::optional<std::string>>>;

// One connection to a PostgreSQL server through libpq, every exchange bounded by a deadline:
// connecting and each statement run without blocking and give up at their deadline, so a server
// that accepts and never answers costs no more than the time allowed. Credentials come from
// libpq's own places (~/.pgpass, a service file, PGPASSWORD); a connection string that holds a
// password itself is refused. One thread at a time.
class PgConnection {
public:
    // Connects to the server conninfo names (a libpq connection string or URI). Raises
    // ERecordServer: Unconfigured, Unreachable or TimedOut.
    PgConnection(const std::string& conninfo, ServerDeadline deadline);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    // Runs sql, which may hold several statements when it takes no parameters; returns the rows
    // of the last one. Raises ERecordServer: TimedOut, or Failed with the server's message.
    PgRows Run(const std::string& sql, const std::vector<std::optional<std::string>>& parameters,
               ServerDeadline deadline);

    // "host:port/database" of the open connection, for messages.
    std::string Name() const;

private:
    void WaitFor(bool writing, ServerDeadline deadline, const char* doing);

    pg_conn* connection_ = nullptr;
};

// "host:port/database" of conninfo as far as it names them, without user or password; for
// messages about a server that could not be reached.
std::string ServerName(const std::string& conninfo);

// Whether conninfo holds a password or another secret of its own (as "password=",
// "sslpassword=", in a URI's user part or its query, or in a database name that is itself a
// connection string).
bool HoldsPassword(const std::string& conninfo);

// Raises ERecordServer (Unconfigured) when conninfo cannot be read or holds a secret; the
// message never quotes it.
void CheckConnectionString(const std::string& conninfo);

} // namespace kronax::records
