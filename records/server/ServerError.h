#pragma once

#include <stdexcept>
#include <string>

namespace kronax::records {

// Why the records server could not take or give records.
enum class ServerFailure {
    Unconfigured, // no server is named, or its connection string cannot be used
    Unreachable,  // no connection: refused, unknown host, wrong credentials, server starting
                  // up, or the connection broke
    TimedOut,     // the server did not answer in time (a server that accepts and never answers)
    Schema,       // the server has no records schema, or one of another version
    Failed,       // the server refused a statement
    Refused,      // the server refused a statement for the data it carries (a record's content)
};

// Its message is one line for people and never holds a password.
class ERecordServer : public std::runtime_error {
public:
    ERecordServer(ServerFailure failure, const std::string& message)
        : std::runtime_error(message), failure_(failure) {}
    ServerFailure Failure() const { return failure_; }

private:
    ServerFailure failure_;
};

} // namespace kronax::records
