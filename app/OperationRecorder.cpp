#include "app/OperationRecorder.h"

#include "link/PortIdentity.h"
#include "protocol/BoardCommands.h"
#include "records/FileDigest.h"
#include "records/OperationSteps.h"
#include "records/RecordOrigin.h"
#include "records/RecordStore.h"
#include "records/RecordsLocation.h"
#include "version/KronaxVersion.h"

#include <cstdlib>

namespace kronax {

using namespace kronax::records;

namespace {

std::unique_ptr<RecordStore> OpenStore() {
    const auto file = RecordsFile();
    if (!file)
        throw ERecordStore(StoreFailure::Unopenable, "no folder for the record store");
    PrepareRecordsFile(*file);
    return std::make_unique<RecordStore>(*file);
}

} // namespace

OperationFacts TransferFacts(const TransferReport& report, const char* errorCode, bool identify) {
    OperationFacts facts;
    const bool complete = report.steps.size() == PayloadKinds.size() && report.AllSucceeded();
    facts.exitCode = complete ? 0 : 1;
    facts.errorCode = errorCode;
    facts.details.steps = StepsOf(report);
    if (report.transfer == Transfer::WriteToBoard)
        facts.details.sent = PayloadsOf(report);
    else
        facts.details.received = PayloadsOf(report);
    facts.identify = identify;
    return facts;
}

OperationFacts CommandFacts(const CommandResult& result, bool identify) {
    OperationFacts facts;
    facts.exitCode = result.Succeeded() ? 0 : 1;
    facts.errorCode =
        result.command == BoardCommand::BoardInformation ? "no_answer" : "not_as_asked";
    facts.details.steps.push_back(StepOf(result));
    facts.details.board = IdentityOf(result);
    facts.identify = identify;
    return facts;
}

OperationRecorder::OperationRecorder(ICommandChannel& channel, RecordingLog& log, bool enabled)
    : channel_(channel), log_(log), enabled_(enabled) {
    if (!enabled)
        return;
    station_ = StationName([](const char* name) { return std::getenv(name); });
    user_ = UserName();
    try {
        store_ = OpenStore();
    } catch (const ERecordStore& error) {
        storeFailure_ = error.what();
    }
}

OperationRecorder::~OperationRecorder() = default;

void OperationRecorder::Arm(const std::string& operation, const std::string& port,
                            const PortOpening& opening) {
    armed_ = enabled_;
    begun_ = false;
    record_ = {};
    record_.operation = operation;
    if (!armed_)
        return;
    if (opening.name.empty()) {
        record_.port = PortOf(SystemPortIdentity(port));
        return;
    }
    if (opening != identified_) {
        identity_ = PortOf(SystemPortIdentity(opening.name));
        identified_ = opening;
    }
    record_.port = identity_;
}

bool OperationRecorder::TransactCommand(const std::string& command, std::string& reply,
                                        std::int32_t timeout) {
    if (armed_ && !begun_) {
        begun_ = true;
        record_.id = NewRecordId();
        record_.startedMs = NowUtcMs();
        record_.station = station_;
        record_.user = user_;
        record_.program = "kronax-config";
        record_.version = KronaxVersion;
        log_.Restart();
        beginFailure_ = Save(record_);
    }
    return channel_.TransactCommand(command, reply, timeout);
}

std::string OperationRecorder::Finish(OperationFacts facts) {
    if (!begun_) {
        armed_ = false;
        return "";
    }
    if (facts.identify) {
        const CommandResult identity = RequestBoardInformation(channel_);
        facts.details.steps.push_back(StepOf(identity));
        facts.details.board = IdentityOf(identity);
    }
    BoardRecord record = CompletedRecord(record_, std::move(facts.details));
    if (facts.fileBytes)
        record.fileSha256 = Sha256Hex(*facts.fileBytes);
    record.exitCode = facts.exitCode;
    record.errorCode = facts.exitCode == 0 ? "" : facts.errorCode;
    record.traffic = log_.Lines();
    if (record.board)
        lastBoard_ = record.board->serialNumber;
    armed_ = begun_ = false;
    const std::string failure = Save(record);
    return failure.empty() ? beginFailure_ : failure;
}

std::string OperationRecorder::Abandon() {
    OperationFacts facts;
    facts.exitCode = 3;
    facts.errorCode = "port_error";
    return Finish(std::move(facts));
}

std::string OperationRecorder::Save(BoardRecord& record) {
    if (!store_)
        return storeFailure_;
    try {
        store_->Save(record);
    } catch (const ERecordStore& error) {
        return error.what();
    }
    return "";
}

} // namespace kronax
