#include "cli/RecordKeeper.h"

#include "link/PortIdentity.h"
#include "records/FileDigest.h"
#include "records/OperationSteps.h"
#include "records/RecordJson.h"
#include "records/RecordOrigin.h"
#include "records/RecordStore.h"
#include "records/RecordsLocation.h"
#include "version/KronaxVersion.h"

#include <cstdlib>
#include <optional>

namespace kronax::cli {

using namespace kronax::records;

struct RecordKeeper::Store {
    bool enabled = false;
    std::string operation;
    std::string station;
    std::string user;
    std::unique_ptr<RecordStore> store;
    std::string failure; // why the store could not be opened

    // Who kept record, with which program, for which operation.
    void StampOrigin(BoardRecord& record) const {
        record.station = station;
        record.user = user;
        record.program = "kronax";
        record.version = KronaxVersion;
        record.operation = operation;
    }

    // Saves record; returns why it could not be kept, or nothing.
    std::string Save(const BoardRecord& record) const {
        if (!store)
            return failure;
        try {
            store->Save(record);
        } catch (const ERecordStore& error) {
            return error.what();
        }
        return "";
    }
};

namespace {

const char* Environment(const char* name) {
    return std::getenv(name);
}

std::unique_ptr<RecordStore> OpenStore() {
    const auto file = RecordsFile();
    if (!file)
        throw ERecordStore(StoreFailure::Unopenable,
                           "no folder for the record store: set HOME, XDG_DATA_HOME or "
                           "KRONAX_RECORDS");
    PrepareRecordsFile(*file);
    return std::make_unique<RecordStore>(*file);
}

} // namespace

RecordKeeper::RecordKeeper(bool enabled, std::string operation)
    : store_(std::make_unique<Store>()) {
    store_->enabled = enabled;
    store_->operation = std::move(operation);
    if (!enabled)
        return;
    store_->station = StationName(Environment);
    store_->user = UserName();
    try {
        store_->store = OpenStore();
    } catch (const ERecordStore& error) {
        store_->failure = error.what();
    }
}

RecordKeeper::~RecordKeeper() = default;

std::string RecordKeeper::Begin(BoardRecord& record, const std::string& port) {
    if (!store_->enabled)
        return "";
    record.id = NewRecordId();
    record.startedMs = NowUtcMs();
    store_->StampOrigin(record);
    record.port = PortOf(SystemPortIdentity(port));
    return store_->Save(record);
}

std::string RecordKeeper::Finish(BoardRecord& record, const PortResult& result,
                                 std::vector<RecordedLogLine> traffic) {
    if (!store_->enabled)
        return "";
    record = CompletedRecord(record, result.recorded);
    if (result.fileBytes)
        record.fileSha256 = Sha256Hex(*result.fileBytes);
    record.exitCode = result.exitCode;
    record.errorCode = result.errorCode;
    record.traffic = std::move(traffic);
    return store_->Save(record);
}

std::string RecordKeeper::JsonLine(const BoardRecord& record) {
    return RecordToJson(record).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) +
           "\n";
}

} // namespace kronax::cli
