#include "protocol/ReportTally.h"

#include "protocol/TransferMessages.h"

#include <vector>

namespace kronax {
namespace {

struct KnownOutcome {
    std::string_view text;
    bool fine;
};

std::vector<KnownOutcome> CollectOutcomes() {
    std::vector<KnownOutcome> outcomes;
    for (PayloadKind kind : PayloadKinds) {
        const WriteMessages& write = WriteMessagesFor(kind);
        const DeviceReadMessages& device = DeviceReadMessagesFor(kind);
        const FileReadMessages& file = FileReadMessagesFor(kind);
        outcomes.insert(outcomes.end(), {{write.acknowledged, true},
                                         {write.notAcknowledged, false},
                                         {write.timeout, false},
                                         {device.received, true},
                                         {device.illegal, false},
                                         {device.notReceived, false},
                                         {device.timeout, false},
                                         {file.read, true},
                                         {file.illegal, false},
                                         {file.incomplete, false}});
    }
    return outcomes;
}

const std::vector<KnownOutcome>& KnownOutcomes() {
    static const std::vector<KnownOutcome> outcomes = CollectOutcomes();
    return outcomes;
}

// The outcome that line ends with, standing alone or after the separator " | ".
const KnownOutcome* OutcomeAtEnd(std::string_view line) {
    constexpr std::string_view Separator = " | ";
    for (const KnownOutcome& outcome : KnownOutcomes()) {
        if (!line.ends_with(outcome.text))
            continue;
        const std::string_view before = line.substr(0, line.size() - outcome.text.size());
        if (before.empty() || before.ends_with(Separator))
            return &outcome;
    }
    return nullptr;
}

void Count(ReportTally& tally, std::string_view outcome, bool fine) {
    ++tally.lines;
    if (fine)
        ++tally.fine;
    else if (tally.firstFailure.empty())
        tally.firstFailure = outcome;
}

} // namespace

ReportTally TallyReport(std::string_view report) {
    ReportTally tally;
    std::size_t lineStart = 0;
    for (std::size_t end = report.find("\r\n"); end != std::string_view::npos;
         end = report.find("\r\n", end + 1)) {
        if (const KnownOutcome* outcome = OutcomeAtEnd(report.substr(lineStart, end - lineStart))) {
            Count(tally, outcome->text, outcome->fine);
            lineStart = end + 2;
        }
    }
    if (lineStart < report.size())
        Count(tally, report.substr(lineStart), false);
    return tally;
}

} // namespace kronax
