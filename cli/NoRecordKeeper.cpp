#include "cli/HistoryCommand.h"
#include "cli/RecordKeeper.h"

namespace kronax::cli {

// A platform without SQLite keeps no records.
struct RecordKeeper::Store {};

RecordKeeper::RecordKeeper(bool, std::string) {}

RecordKeeper::~RecordKeeper() = default;

std::string RecordKeeper::Begin(records::BoardRecord&, const std::string&) {
    return "";
}

std::string RecordKeeper::Finish(records::BoardRecord&, const PortResult&,
                                 std::vector<records::RecordedLogLine>) {
    return "";
}

std::string RecordKeeper::JsonLine(const records::BoardRecord&) {
    return "";
}

void SetUpHistory(CLI::App&, Output&, int&, bool) {}

} // namespace kronax::cli
