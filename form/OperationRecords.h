#pragma once

#include "link/CommandPort.h"
#include "protocol/BoardReplies.h"
#include "protocol/CommandChannel.h"
#include "protocol/TransferReport.h"
#include "records/BoardRecord.h"
#include "records/RecordingLog.h"

#include <memory>
#include <optional>
#include <string>

namespace kronax {

namespace records {
class RecordStore;
}

// What an operation of the window leaves for its record besides its traffic.
struct OperationFacts {
    int exitCode = 0;             // as the command-line tool ends the same operation
    std::string errorCode;        // the command-line tool's machine code for the same failure
    records::BoardRecord details; // file, payloads, steps, board identity
    std::optional<std::string> fileBytes;
    bool identify = false; // the operation changed the board: ask who it is afterwards
};

// The facts of a configuration transfer: its steps, the payloads it sent or received, and
// whether every step succeeded (errorCode when not).
OperationFacts TransferFacts(const TransferReport& report, const char* errorCode, bool identify);
// The facts of a single command; the board information's answer is the board's identity.
OperationFacts CommandFacts(const CommandResult& result, bool identify);

// The window's command channel that keeps a record of each operation: Arm names the operation,
// its first command inserts the record as running, Finish completes it. The identity query of
// Finish follows the operation's own commands, so that their sequence stays as it is. An
// operation that sent nothing leaves no record. UI thread only.
class IOperationRecords : public ICommandChannel {
public:
    // The next commands belong to operation ("write", "read", ...) on the port named port, open
    // as opening (a closed port's opening has no name).
    virtual void Arm(const std::string& operation, const std::string& port,
                     const PortOpening& opening) = 0;

    // Completes the armed operation's record. Returns why no record was kept, or empty.
    virtual std::string Finish(OperationFacts facts) = 0;
    // Completes it as ended by an error of the port.
    virtual std::string Abandon() = 0;

    // The board identified last on this port, or empty.
    virtual const std::string& LastBoardSerial() const = 0;
    // The record store, or null when there is none (switched off, not opened, or a station
    // that keeps no records).
    virtual records::RecordStore* Store() const = 0;
    // Whether this build keeps records at all.
    virtual bool Kept() const = 0;
};

// The station's records on channel, with log the traffic log under channel (both must outlive
// them); with enabled false nothing is recorded. Where the build has no record store, a channel
// that passes every command on and records nothing.
std::unique_ptr<IOperationRecords> MakeOperationRecords(ICommandChannel& channel,
                                                        records::RecordingLog& log, bool enabled);

} // namespace kronax
