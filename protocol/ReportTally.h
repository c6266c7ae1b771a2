#pragma once

#include <string>
#include <string_view>

namespace kronax {

// How the lines of a configuration transfer report turned out.
struct ReportTally {
    int lines = 0;
    // Lines that end in an acknowledged, received or read outcome.
    int fine = 0;
    // The outcome text of the first other line; empty when every line is fine.
    std::string firstFailure;

    bool AllFine() const { return lines > 0 && fine == lines; }
};

// Counts the lines of a report made by WriteConfiguration or ReadConfiguration, for either
// target. A line ends with CR LF right after one of the transfer outcome texts, so a board reply
// quoted in a line, CR LF and all, never splits it. Text after the last such line end counts as
// one failed line. Pure; any thread.
ReportTally TallyReport(std::string_view report);

} // namespace kronax
