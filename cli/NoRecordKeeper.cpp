#include "cli/HistoryCommand.h"
#include "cli/RecordKeeper.h"

namespace kronax::cli {

// A platform without SQLite keeps no records.
struct TRecordKeeper::Store {};

TRecordKeeper::TRecordKeeper(bool, std::string) {}

TRecordKeeper::~TRecordKeeper() = default;

std::string TRecordKeeper::Begin(records::BoardRecord&, const std::string&) {
    return "";
}

std::string TRecordKeeper::Finish(records::BoardRecord&, const PortResult&,
                                  std::vector<records::RecordedLogLine>) {
    return "";
}

std::string TRecordKeeper::JsonLine(const records::BoardRecord&) {
    return "";
}

void SetUpHistory(CLI::App&, TOutput&, int&, bool) {}

} // namespace kronax::cli
