#pragma once

#include "link/CommandPort.h"
#include "protocol/BoardReplies.h"
#include "protocol/CommandChannel.h"
#include "protocol/TransferReport.h"
#include "records/BoardRecord.h"
#include "records/RecordingLog.h"

#include <memory>
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
class OperationRecorder : public ICommandChannel {
public:
    // channel and log (the traffic log under channel) must outlive the recorder. With enabled
    // false it records nothing.
    OperationRecorder(ICommandChannel& channel, records::RecordingLog& log, bool enabled);
    ~OperationRecorder() override;
    OperationRecorder(const OperationRecorder&) = delete;
    OperationRecorder& operator=(const OperationRecorder&) = delete;

    bool TransactCommand(const std::string& command, std::string& reply,
                         std::int32_t timeout) override;

    // The next commands belong to operation ("write", "read", ...) on the port named port, open
    // as opening (a closed port's opening has no name).
    void Arm(const std::string& operation, const std::string& port, const PortOpening& opening);

    // Completes the armed operation's record. Returns why no record was kept, or empty.
    std::string Finish(OperationFacts facts);
    // Completes it as ended by an error of the port.
    std::string Abandon();

    // The board identified last on this port, or empty.
    const std::string& LastBoardSerial() const { return lastBoard_; }
    // The record store, or null when there is none (switched off or not opened).
    records::RecordStore* Store() const { return store_.get(); }

private:
    std::string Save(records::BoardRecord& record);

    ICommandChannel& channel_;
    records::RecordingLog& log_;
    bool enabled_;
    std::unique_ptr<records::RecordStore> store_;
    std::string storeFailure_;
    std::string station_, user_;
    bool armed_ = false;
    bool begun_ = false;
    records::BoardRecord record_;
    std::string beginFailure_;
    std::string lastBoard_;
    // The device behind an open port stays the one it is until the port is opened again; asking
    // the system at every operation cost more than the record's own save.
    PortOpening identified_;
    records::RecordedPort identity_;
};

} // namespace kronax
