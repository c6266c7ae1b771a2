#pragma once

#include "protocol/BoardReplies.h"
#include "protocol/TransferReport.h"

#include <array>
#include <string>
#include <string_view>

namespace kronax {

// The one place where outcomes become the texts the operator is shown. Code decides from the
// values; these texts are for people only. Pure; any thread.

// The step's outcome message, "CA parameters acknowledged." ... "INCOMPLETE Operation Mode.".
// The MUX step of a read reports with the operation-mode texts.
std::string_view StepOutcomeText(Transfer transfer, const TransferStep& step);

// One step's report line, without its line end: for the board the command, " | " and the
// message, with the reply (its first CR removed) and " | " before the message of a reply that was
// not received correctly or was illegal; for a file the message alone.
std::string ReportLineText(Transfer transfer, const TransferStep& step);

// The report the report label shows, its lines each followed by CR LF.
std::string ReportText(const TransferReport& report);

// The text a single command's outcome is shown with: "Start aknowledged.", "Status: " and the
// status, the power-on default texts, a reply that is neither acceptance nor refusal unchanged,
// or the five lines of the board information (micro sign as the byte 0xB5, CR LF between them,
// none after the last).
std::string CommandOutcomeText(const CommandResult& result);

// The captions of the board information's four fields, "Serial number" ... "\xB5C Version".
const std::array<std::string_view, 4>& BoardIdentityCaptions();

} // namespace kronax
