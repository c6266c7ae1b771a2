#pragma once

#include "protocol/PayloadKind.h"

#include <optional>
#include <string>
#include <vector>

namespace kronax {

// Which whole-configuration transfer a report is of.
enum class Transfer { WriteToBoard, ReadFromBoard, ReadFromFile };

// How one payload's step of a transfer ended.
enum class StepOutcome {
    Acknowledged,    // the board's reply to a write holds "!SMACK"
    NotAcknowledged, // a complete reply to a write without "!SMACK", a refusal included
    Timeout,         // no complete reply in time, or no port open
    Received,        // a complete and legal payload was read and applied
    Illegal,         // a complete payload was read but held an illegal group
    NotReceived,     // the board's reply did not have the form of a payload reply
    Incomplete,      // the file's value is missing or has the wrong length
};

// One payload's step: what was sent, what came back and how it ended.
struct TransferStep {
    PayloadKind kind = PayloadKind::SEN;
    StepOutcome outcome = StepOutcome::Timeout;
    // The command as sent, without its CR; empty for a file.
    std::string command;
    // The board's reply as collected, possibly partial or empty; empty for a file.
    std::string reply;
    // Written: the payload sent. Read from the board: the payload the reply carried when it had
    // the form of one. Read from a file: the value as the file holds it, empty when missing.
    std::optional<std::string> payload;

    bool Succeeded() const {
        return outcome == StepOutcome::Acknowledged || outcome == StepOutcome::Received;
    }
};

// The steps of one transfer, SEN to MUX, in the order they were made.
struct TransferReport {
    Transfer transfer = Transfer::ReadFromBoard;
    std::vector<TransferStep> steps;

    int SucceededCount() const;
    // True when there was a step and every step succeeded.
    bool AllSucceeded() const;
    // The first step that did not succeed, or null.
    const TransferStep* FirstFailure() const;
    // The payload of kind's step, when that step has one.
    std::optional<std::string> PayloadOf(PayloadKind kind) const;
    // Every kind's payload, empty where its step has none.
    PayloadTexts Payloads() const;
};

} // namespace kronax
