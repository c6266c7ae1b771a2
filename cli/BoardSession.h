#pragma once

#include "cli/GuardedChannel.h"
#include "cli/Output.h"
#include "exchange/SteadyTickSource.h"
#include "exchange/TrafficLog.h"
#include "link/SerialPort.h"
#include "protocol/BoardChannel.h"
#include "records/RecordingLog.h"

#include <memory>
#include <string>

namespace kronax::cli {

// The traffic log of one port on standard error, each line as the window's log shows it, or
// nothing when not verbose.
class ErrorStreamLog : public ITrafficLog {
public:
    ErrorStreamLog(Output& output, std::string prefix, bool verbose)
        : output_(output), prefix_(std::move(prefix)), verbose_(verbose) {}

    void AppendLine(const std::string& line) override;

private:
    Output& output_;
    std::string prefix_;
    bool verbose_;
};

// One board on its own open port, talked to by the thread that creates the session.
class BoardSession {
public:
    // Opens the port without a watcher. Raises ESerialPort when it cannot be opened.
    // onSend hears every command just before it goes out.
    BoardSession(const std::string& portName, ErrorStreamLog log,
                 GuardedChannel::SendListener onSend = {});

    // Whether the session stopped sending, and why.
    GuardedChannel& Guard() { return guard_; }

    // The traffic log's lines so far, each with its time after the port was opened.
    const std::vector<records::RecordedLogLine>& Traffic() const { return recording_.Lines(); }

private:
    std::unique_ptr<TSerialPort> port_;
    SteadyTickSource ticks_;
    ErrorStreamLog log_;
    records::RecordingLog recording_;
    BoardChannel board_;
    GuardedChannel guard_;
};

} // namespace kronax::cli
