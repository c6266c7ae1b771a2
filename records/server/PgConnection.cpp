#include "records/server/PgConnection.h"

#include <libpq-fe.h>
#include <poll.h>

#include <cerrno>
#include <memory>

namespace kronax::records {
namespace {

// libpq's messages may span several lines (a hint below the reason); people get the reason.
std::string FirstLine(const char* message) {
    std::string line = message ? message : "";
    line = line.substr(0, line.find('\n'));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
        line.pop_back();
    return line.empty() ? "no reason given" : line;
}

using ParsedOptions = std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)>;

// Nothing when conninfo cannot be read; libpq's own complaint may quote it, password included,
// so it is not passed on.
ParsedOptions Parse(const std::string& conninfo) {
    char* complaint = nullptr;
    ParsedOptions options(PQconninfoParse(conninfo.c_str(), &complaint), &PQconninfoFree);
    PQfreemem(complaint);
    return options;
}

std::string OptionOf(const PQconninfoOption* options, const std::string& keyword) {
    for (const PQconninfoOption* option = options; option->keyword; ++option)
        if (keyword == option->keyword && option->val)
            return option->val;
    return "";
}

std::string NameOf(const std::string& host, const std::string& port, const std::string& db) {
    return (host.empty() ? std::string("the default server") : host) +
           (port.empty() ? "" : ":" + port) + (db.empty() ? "" : "/" + db);
}

// Whether an error's SQLSTATE blames the data a statement carries rather than the statement or
// the server: a data exception (22: a text the server's encoding cannot hold, a number out of
// range), an integrity constraint (23) or a program limit (54: a value too large for an index).
bool ForTheData(const char* sqlState) {
    const std::string state = sqlState ? sqlState : "";
    return state.starts_with("22") || state.starts_with("23") || state.starts_with("54");
}

int RemainingMs(ServerDeadline deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - ServerClock::now());
    return left.count() <= 0 ? 0 : static_cast<int>(left.count());
}

} // namespace

std::string ServerName(const std::string& conninfo) {
    const ParsedOptions options = Parse(conninfo);
    if (!options)
        return "the records server";
    std::string host = OptionOf(options.get(), "host");
    if (host.empty())
        host = OptionOf(options.get(), "hostaddr");
    return NameOf(host, OptionOf(options.get(), "port"), OptionOf(options.get(), "dbname"));
}

bool HoldsPassword(const std::string& conninfo) {
    const ParsedOptions options = Parse(conninfo);
    if (!options)
        return false;
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option) {
        if (!option->val || !*option->val)
            continue;
        // libpq marks the keys whose values it hides ("*": password, sslpassword); a key of a
        // later libpq that names a secret is taken as one too.
        const std::string keyword = option->keyword;
        if ((option->dispchar && std::string(option->dispchar) == "*") ||
            keyword.find("password") != std::string::npos ||
            keyword.find("secret") != std::string::npos)
            return true;
        // A database name may itself be a connection string that libpq reads in turn.
        const std::string value = option->val;
        if (keyword == "dbname" && value != conninfo &&
            (value.find('=') != std::string::npos || value.starts_with("postgresql://") ||
             value.starts_with("postgres://")) &&
            HoldsPassword(value))
            return true;
    }
    return false;
}

void CheckConnectionString(const std::string& conninfo) {
    if (!Parse(conninfo))
        throw ERecordServer(ServerFailure::Unconfigured,
                            "the records server's connection string cannot be read");
    if (HoldsPassword(conninfo))
        throw ERecordServer(ServerFailure::Unconfigured,
                            "the records server's connection string holds a password; keep it "
                            "in ~/.pgpass or a service file instead");
}

PgConnection::PgConnection(const std::string& conninfo, ServerDeadline deadline) {
    CheckConnectionString(conninfo);
    connection_ = PQconnectStart(conninfo.c_str());
    if (!connection_)
        throw ERecordServer(ServerFailure::Unreachable, "no memory to reach the records server");
    // libpq prints the server's notices to standard error; they are no concern of a station.
    PQsetNoticeProcessor(
        connection_, [](void*, const char*) {}, nullptr);
    try {
        // libpq asks to wait for writing before the first poll.
        PostgresPollingStatusType polling = PGRES_POLLING_WRITING;
        while (polling != PGRES_POLLING_OK) {
            if (polling == PGRES_POLLING_FAILED || PQstatus(connection_) == CONNECTION_BAD)
                throw ERecordServer(ServerFailure::Unreachable,
                                    "cannot reach the records server " + ServerName(conninfo) +
                                        ": " + FirstLine(PQerrorMessage(connection_)));
            WaitFor(polling == PGRES_POLLING_WRITING, deadline, "connecting");
            polling = PQconnectPoll(connection_);
        }
        PQsetnonblocking(connection_, 1);
    } catch (...) {
        PQfinish(connection_);
        throw;
    }
}

PgConnection::~PgConnection() {
    PQfinish(connection_);
}

std::string PgConnection::Name() const {
    return NameOf(PQhost(connection_), PQport(connection_), PQdb(connection_));
}

void PgConnection::WaitFor(bool writing, ServerDeadline deadline, const char* doing) {
    pollfd descriptor{PQsocket(connection_), static_cast<short>(writing ? POLLOUT : POLLIN), 0};
    for (;;) {
        const int ready = poll(&descriptor, 1, RemainingMs(deadline));
        if (ready > 0)
            return;
        if (ready == 0)
            throw ERecordServer(ServerFailure::TimedOut, std::string("the records server did "
                                                                     "not answer in time (") +
                                                             doing + ")");
        if (errno != EINTR)
            throw ERecordServer(ServerFailure::Failed, "cannot wait for the records server");
    }
}

PgRows PgConnection::Run(const std::string& sql,
                         const std::vector<std::optional<std::string>>& parameters,
                         ServerDeadline deadline) {
    std::vector<const char*> values;
    for (const auto& parameter : parameters)
        values.push_back(parameter ? parameter->c_str() : nullptr);
    const int sent =
        parameters.empty()
            ? PQsendQuery(connection_, sql.c_str())
            : PQsendQueryParams(connection_, sql.c_str(), static_cast<int>(values.size()), nullptr,
                                values.data(), nullptr, nullptr, 0);
    // A broken connection is the server gone away; a refused statement is the server's answer.
    const auto failed = [this](const char* message) {
        return ERecordServer(PQstatus(connection_) == CONNECTION_BAD ? ServerFailure::Unreachable
                                                                     : ServerFailure::Failed,
                             "the records server " + Name() + ": " + FirstLine(message));
    };
    if (!sent)
        throw failed(PQerrorMessage(connection_));
    for (int flushing = PQflush(connection_); flushing != 0; flushing = PQflush(connection_)) {
        if (flushing < 0)
            throw failed(PQerrorMessage(connection_));
        WaitFor(true, deadline, "sending");
    }
    PgRows rows;
    std::optional<ERecordServer> refusal;
    for (;;) {
        while (PQisBusy(connection_)) {
            WaitFor(false, deadline, "waiting for its answer");
            if (!PQconsumeInput(connection_))
                throw failed(PQerrorMessage(connection_));
        }
        PGresult* result = PQgetResult(connection_);
        if (!result)
            break;
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_TUPLES_OK) {
            rows.assign(static_cast<std::size_t>(PQntuples(result)), {});
            for (int row = 0; row < PQntuples(result); ++row)
                for (int column = 0; column < PQnfields(result); ++column)
                    rows[static_cast<std::size_t>(row)].push_back(
                        PQgetisnull(result, row, column)
                            ? std::nullopt
                            : std::optional<std::string>(PQgetvalue(result, row, column)));
        } else if (status != PGRES_COMMAND_OK && !refusal) {
            refusal = failed(PQresultErrorMessage(result));
            if (ForTheData(PQresultErrorField(result, PG_DIAG_SQLSTATE)))
                refusal = ERecordServer(ServerFailure::Refused, refusal->what());
        }
        PQclear(result);
    }
    if (refusal)
        throw *refusal;
    return rows;
}

} // namespace kronax::records
