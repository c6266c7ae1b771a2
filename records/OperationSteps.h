#pragma once

#include "link/PortIdentity.h"
#include "protocol/BoardReplies.h"
#include "protocol/TransferReport.h"
#include "records/BoardRecord.h"

#include <optional>
#include <vector>

namespace kronax::records {

// What a record keeps of the protocol's typed results. Pure.

// Each step of report: its command, outcome identifier and reply.
std::vector<RecordedStep> StepsOf(const TransferReport& report);

// The single command's step.
RecordedStep StepOf(const CommandResult& result);

// "acknowledged", "not_acknowledged", "timeout", "received", "illegal", "not_received",
// "incomplete".
std::string OutcomeName(StepOutcome outcome);
// "timeout", "acknowledged", "not_acknowledged", "answered", "unrecognised".
std::string OutcomeName(CommandOutcome outcome);

// The payload of each kind's step in report, empty where it has none.
RecordedPayloads PayloadsOf(const TransferReport& report);
RecordedPayloads PayloadsOf(const PayloadTexts& payloads);

// The four fields of the board's answer to the identity query; nothing when it did not answer.
std::optional<BoardIdentityFields> IdentityOf(const CommandResult& result);

// What the system knows of the port; the path when it is a network port's URL is its name.
RecordedPort PortOf(const PortIdentity& port);

} // namespace kronax::records
