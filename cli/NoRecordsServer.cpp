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

} // namespace kronax::cli
