#pragma once

#include "cli/ExitCode.h"
#include "records/BoardRecord.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace kronax::cli {

// What one action on one port ends with.
struct PortResult {
    int exitCode = ExitSuccess;
    std::string text;             // for standard output: lines, each ending with a line end
    bool textIsFileBytes = false; // text is a file printed in place of one (--output -)
    nlohmann::ordered_json json;  // the command's fields for --json: an object
    std::string problem;          // one line for standard error naming port or file; or empty
    std::string errorCode;        // the problem's stable machine code ("write_not_acknowledged")
    std::string warning;          // one line for standard error that fails nothing; or empty
    // What the operation's record keeps of it: file, payloads, steps and the board's identity.
    records::BoardRecord recorded;
    std::optional<std::string> fileBytes; // the bytes of the file written or stored
};

// The result of an action that ended with problem under errorCode.
PortResult FailedResult(int exitCode, std::string errorCode, std::string problem);

} // namespace kronax::cli
