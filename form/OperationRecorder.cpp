#include "form/OperationRecords.h"

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

// The records in the station's own store.
class OperationRecorder : public IOperationRecords {
public:
    OperationRecorder(ICommandChannel& channel, RecordingLog& log, bool enabled);
    ~OperationRecorder() override;
    OperationRecorder(const OperationRecorder&) = delete;
    OperationRecorder& operator=(const OperationRecorder&) = delete;

    bool TransactCommand(const std::string& command, std::string& reply,
                         std::int32_t timeout) override;
    void Arm(const std::string& operation, const std::string& port,
             const PortOpening& opening) override;
    std::string Finish(OperationFacts facts) override;
    std::string Abandon() override;
    const std::string& LastBoardSerial() const override { return lastBoard_; }
    RecordStore* Store() const override { return store_.get(); }
    bool Kept() const override { return true; }

private:
    std::string Save(BoardRecord& record);

    ICommandChannel& channel_;
    RecordingLog& log_;
    bool enabled_;
    std::unique_ptr<RecordStore> store_;
    std::string storeFailure_;
    std::string station_, user_;
    bool armed_ = false;
    bool begun_ = false;
    BoardRecord record_;
    std::string beginFailure_;
    std::string lastBoard_;
    // The device behind an open port stays the one it is until the port is opened again; asking
    // the system at every operation cost more than the record's own save.
    PortOpening identified_;
    RecordedPort identity_;
};

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

} // namespace

std::unique_ptr<IOperationRecords> MakeOperationRecords(ICommandChannel& channel, RecordingLog& log,
                                                        bool enabled) {
    return std::make_unique<OperationRecorder>(channel, log, enabled);
}

} // namespace kronax
