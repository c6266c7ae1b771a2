#pragma once

#include "cli/ConfigFiles.h"
#include "cli/GuardedChannel.h"
#include "cli/PortResult.h"
#include "cli/Settings.h"

#include <optional>
#include <string>
#include <vector>

namespace kronax::cli {

// The actions on one board, each over the board's channel behind its guard, on the thread that
// owns the port. Once the guard stops sending (a stop signal, a failed port) an action ends after
// the step under way and its result says what was not sent; problems with the output file are part
// of the result.

struct ReadRequest {
    std::optional<std::string> outputFile; // "-": standard output
    bool raw = false;                      // store the board's payloads as they are
};

// Reads the configuration and shows it as named fields; stores it when asked.
PortResult ReadBoardAction(GuardedChannel& guard, const ReadRequest& request);

struct WriteRequest {
    const LoadedFile& file; // what is written, unless settings are given
    bool dryRun = false;
    bool verify = false;
    bool setDefault = false;
    bool noRead = false; // write without reading the board first
    // The settings to change on the board instead of writing a file; only the payloads that
    // carry a change are sent.
    std::vector<SettingValue> settings = {};
    bool allowOutOfRange = false; // write values a change puts out of range all the same
};

// Reads the board, shows how the file (or the board with the settings changed) differs, then
// writes, reads back and makes it the power-on default as asked. After a failed step the result
// names the payloads the board now holds from before.
PortResult WriteBoardAction(GuardedChannel& guard, const WriteRequest& request);

// Reads the board and shows how the file differs, by setting and by payload bytes; a difference
// is exit code 1.
PortResult DiffBoardAction(GuardedChannel& guard, const LoadedFile& file);

// The single commands, with the window's outcome texts.
PortResult StartAction(GuardedChannel& guard);
PortResult StatusAction(GuardedChannel& guard);
PortResult SetDefaultAction(GuardedChannel& guard);
PortResult InfoAction(GuardedChannel& guard);

// A board that did not answer, whatever the command.
PortResult NoAnswerResult();

// What a guard that stopped sending ends with: exit code, machine code and the problem, which
// names the step and what was not sent ("interrupted after TDF; MOD, MUX not sent").
PortResult StoppedResult(const GuardedChannel& guard, const std::string& where);

} // namespace kronax::cli
