#pragma once

#include "cli/ConfigFiles.h"
#include "cli/PortResult.h"
#include "protocol/CommandChannel.h"

#include <optional>
#include <string>

namespace kronax::cli {

// The actions on one board, each over the board's channel on the calling thread. They raise
// what the channel raises (ESerialPort); problems with the output file are part of the result.

struct ReadRequest {
    std::optional<std::string> outputFile;
    bool force = false;
};

// Reads the configuration and shows it as named fields; stores it when asked.
PortResult ReadBoardAction(ICommandChannel& channel, const ReadRequest& request);

struct WriteRequest {
    const LoadedFile& file;
    bool dryRun = false;
    bool verify = false;
    bool setDefault = false;
};

// Reads the board, shows how the file differs, then writes the file's configuration, reads it
// back and makes it the power-on default as asked.
PortResult WriteBoardAction(ICommandChannel& channel, const WriteRequest& request);

// Reads the board and shows how the file differs; a difference is exit code 1.
PortResult DiffBoardAction(ICommandChannel& channel, const LoadedFile& file);

// The single commands, with the window's outcome texts.
PortResult StartAction(ICommandChannel& channel);
PortResult StatusAction(ICommandChannel& channel);
PortResult SetDefaultAction(ICommandChannel& channel);
PortResult InfoAction(ICommandChannel& channel);

} // namespace kronax::cli
