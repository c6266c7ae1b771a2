#include "records/server/PgConnection.h"

#include "link/network/NameLookup.h"

#include <libpq-fe.h>
#include <netdb.h>
#include <poll.h>

#include <algorithm>
#include <array>
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

std::vector<std::string> Split(const std::string& list) {
    std::vector<std::string> items;
    std::size_t from = 0;
    for (std::size_t comma = list.find(','); comma != std::string::npos;
         comma = list.find(',', from)) {
        items.push_back(list.substr(from, comma - from));
        from = comma + 1;
    }
    items.push_back(list.substr(from));
    return items;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string list;
    for (std::size_t index = 0; index < items.size(); ++index)
        list += (index == 0 ? "" : ",") + items[index];
    return list;
}

// The addresses of host as text, looked up within the deadline. Raises ERecordServer (TimedOut,
// or Unreachable for a name that has no address).
std::vector<std::string> Addresses(const std::string& host, const std::string& name,
                                   ServerDeadline deadline) {
    const NameLookupResult found = LookUpName(host, "", deadline);
    if (found.outcome == NameLookupResult::Outcome::TimedOut)
        throw ERecordServer(ServerFailure::TimedOut,
                            "the records server did not answer in time (looking up its name)");
    std::vector<std::string> addresses;
    for (const FoundAddress& address : found.addresses) {
        std::array<char, NI_MAXHOST> text{};
        if (getnameinfo(reinterpret_cast<const sockaddr*>(&address.address), address.size,
                        text.data(), text.size(), nullptr, 0, NI_NUMERICHOST) == 0 &&
            std::find(addresses.begin(), addresses.end(), text.data()) == addresses.end())
            addresses.emplace_back(text.data());
    }
    if (addresses.empty())
        throw ERecordServer(ServerFailure::Unreachable,
                            "cannot reach the records server " + name +
                                ": could not translate host name \"" + host +
                                "\" to address: " + gai_strerror(found.error));
    return addresses;
}

// The options of conninfo with each host name looked up within the deadline and given to libpq
// as hostaddr (host kept, for TLS and messages), or nothing when conninfo names no host to look
// up (sockets, addresses given, or the host left to libpq's defaults).
std::optional<std::vector<std::pair<std::string, std::string>>>
LookedUpOptions(const std::string& conninfo, ServerDeadline deadline) {
    const ParsedOptions options = Parse(conninfo);
    const std::string host = OptionOf(options.get(), "host");
    if (host.empty() || !OptionOf(options.get(), "hostaddr").empty())
        return std::nullopt;
    const std::vector<std::string> hosts = Split(host);
    const std::string portList = OptionOf(options.get(), "port");
    const std::vector<std::string> ports =
        portList.empty() ? std::vector<std::string>() : Split(portList);
    if (ports.size() > 1 && ports.size() != hosts.size())
        return std::nullopt; // libpq says what is wrong with it
    std::vector<std::string> newHosts, newAddresses, newPorts;
    std::optional<ERecordServer> failure;
    bool lookedUp = false;
    for (std::size_t index = 0; index < hosts.size(); ++index) {
        const std::string& name = hosts[index];
        const std::string port = ports.empty() ? "" : ports[ports.size() == 1 ? 0 : index];
        std::vector<std::string> addresses = {""};
        // A socket's folder, or an abstract socket's name: nothing to look up.
        if (!name.empty() && name.front() != '/' && name.front() != '@') {
            try {
                addresses = Addresses(name, ServerName(conninfo), deadline);
                lookedUp = true;
            } catch (const ERecordServer& error) {
                // Like libpq, a host that cannot be found leaves the next ones to try.
                if (error.Failure() == ServerFailure::TimedOut)
                    throw;
                failure = error;
                continue;
            }
        }
        for (const std::string& address : addresses) {
            newHosts.push_back(name);
            newAddresses.push_back(address);
            newPorts.push_back(port);
        }
    }
    if (newHosts.empty() && failure)
        throw *failure;
    if (!lookedUp)
        return std::nullopt;
    std::vector<std::pair<std::string, std::string>> values;
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option) {
        const std::string keyword = option->keyword;
        if (option->val && keyword != "host" && keyword != "hostaddr" && keyword != "port")
            values.emplace_back(keyword, option->val);
    }
    values.emplace_back("host", Joined(newHosts));
    values.emplace_back("hostaddr", Joined(newAddresses));
    if (!ports.empty())
        values.emplace_back("port", Joined(newPorts));
    return values;
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
    if (const auto options = LookedUpOptions(conninfo, deadline)) {
        std::vector<const char*> keywords, values;
        for (const auto& [keyword, value] : *options) {
            keywords.push_back(keyword.c_str());
            values.push_back(value.c_str());
        }
        keywords.push_back(nullptr);
        values.push_back(nullptr);
        connection_ = PQconnectStartParams(keywords.data(), values.data(), 0);
    } else {
        connection_ = PQconnectStart(conninfo.c_str());
    }
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
