#include "cli/RecordsServer.h"

#include "records/server/ServerError.h"

namespace kronax::cli {

void ForwardAfterRun(Output&, bool) {}

void SetUpServerCommands(CLI::App&, Output&, int&, bool) {}

std::vector<records::BoardRecord> ServerRecords(const records::RecordFilter&, const std::string&) {
    throw records::ERecordServer(records::ServerFailure::Unconfigured,
                                 "this kronax was built without a records server client");
}

bool ForwardsRecords() {
    return false;
}

std::string QueuedText(records::RecordStore&) {
    return "This kronax forwards no records: it was built without a records server client.\n";
}

nlohmann::ordered_json QueuedJson(records::RecordStore& store) {
    return {{"queued", store.QueuedCount()},
            {"server", nullptr},
            {"set_aside", nlohmann::ordered_json::array()}};
}

} // namespace kronax::cli
