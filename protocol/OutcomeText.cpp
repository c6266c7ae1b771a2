#include "protocol/OutcomeText.h"

#include <array>

namespace kronax {
namespace {

struct WriteMessages {
    std::string_view acknowledged;
    std::string_view notAcknowledged;
    std::string_view timeout;
};

struct DeviceReadMessages {
    std::string_view received;
    std::string_view illegal;
    std::string_view notReceived;
    std::string_view timeout;
};

struct FileReadMessages {
    std::string_view read;
    std::string_view illegal;
    std::string_view incomplete;
};

// The texts are kept exactly as the tool has always shown them, spelling included.

constexpr std::array<WriteMessages, 6> Write = {{
    {"CA parameters acknowledged.", "CA parameters NOT acknowledged.", "CA parameters timeout."},
    {"CDM parameters acknowledged.", "CDM parameters NOT acknowledged.", "CDM parameters timeout."},
    {"Alpha Beta parameters acknowledged.", "Alpha Beta parameters NOT acknowledged.",
     "Alpha Beta parameters timeout."},
    {"Multiplier/Devider parameters acknowledged.",
     "Multiplier/Devider parameters NOT acknowledged.", "Multiplier/Devider parameters timeout."},
    {"Operation Mode acknowledged.", "Operation Mode NOT acknowledged.", "Operation Mode timeout."},
    {"MUX acknowledged.", "MUX NOT acknowledged.", "MUX timeout."},
}};

constexpr DeviceReadMessages OperationModeRead = {
    "Operation Mode received.", "Operation Mode received with illegal paramerters.",
    "Operation Mode NOT received correctly.", "Operation Mode timeout."};

// The MUX step reports with the operation-mode texts.
constexpr std::array<DeviceReadMessages, 6> DeviceRead = {{
    {"CA parameters received.", "CA parameters received with illegal paramerters.",
     "CA parameters NOT received correctly.", "CA parameters timeout."},
    {"CDM parameters received.", "CDM parameters received with illegal paramerters.",
     "CDM parameters NOT received correctly.", "CDM parameters timeout."},
    {"Alpha Beta parameters received.", "Alpha Beta parameters received with illegal paramerters.",
     "Alpha Beta parameters NOT received correctly.", "Alpha Beta parameters timeout."},
    {"Multiplier/Devider parameters received.",
     "Multiplier/Devider parameters received with illegal paramerters.",
     "Multiplier/Devider parameters NOT received correctly.",
     "Multiplier/Devider parameters timeout."},
    OperationModeRead,
    OperationModeRead,
}};

constexpr FileReadMessages OperationModeFile = {"Operation Mode read.", "ILLEGAL Operation Mode.",
                                                "INCOMPLETE Operation Mode."};

constexpr std::array<FileReadMessages, 6> FileRead = {{
    {"CA read.", "ILLEGAL CA paramerters.", "INCOMPLETE CA parameters."},
    {"CDM parameters read.", "ILLEGAL CDM parameters.", "INCOMPLETE CDM parameters."},
    {"Alpha Beta parameters read.", "ILLEGAL Alpha Beta parameters.",
     "INCOMPLETE Alpha Beta parameters."},
    {"Multiplier/Devider parameters read.", "ILLEGAL Multiplier/Devider parameters.",
     "INCOMLETE Multiplier/Devider parameters."},
    OperationModeFile,
    OperationModeFile,
}};

constexpr std::array<std::string_view, 4> IdentityCaptions = {"Serial number", "PCB Version",
                                                              "FPGA Version",
                                                              "\xB5"
                                                              "C Version"};

std::size_t Index(PayloadKind kind) {
    return static_cast<std::size_t>(kind);
}

std::string_view WriteText(const TransferStep& step) {
    const WriteMessages& messages = Write[Index(step.kind)];
    switch (step.outcome) {
    case StepOutcome::Acknowledged:
        return messages.acknowledged;
    case StepOutcome::Timeout:
        return messages.timeout;
    default:
        return messages.notAcknowledged;
    }
}

std::string_view DeviceReadText(const TransferStep& step) {
    const DeviceReadMessages& messages = DeviceRead[Index(step.kind)];
    switch (step.outcome) {
    case StepOutcome::Received:
        return messages.received;
    case StepOutcome::Illegal:
        return messages.illegal;
    case StepOutcome::Timeout:
        return messages.timeout;
    default:
        return messages.notReceived;
    }
}

std::string_view FileReadText(const TransferStep& step) {
    const FileReadMessages& messages = FileRead[Index(step.kind)];
    switch (step.outcome) {
    case StepOutcome::Received:
        return messages.read;
    case StepOutcome::Illegal:
        return messages.illegal;
    default:
        return messages.incomplete;
    }
}

std::string WithoutFirstCr(std::string reply) {
    if (const auto cr = reply.find('\r'); cr != std::string::npos)
        reply.erase(cr, 1);
    return reply;
}

std::string AcknowledgeText(const CommandResult& result, const std::string& subject) {
    switch (result.outcome) {
    case CommandOutcome::Timeout:
        return subject + " timeout.";
    case CommandOutcome::Acknowledged:
        return subject + " aknowledged.";
    case CommandOutcome::NotAcknowledged:
        return subject + " NOT acknowledged.";
    default:
        return result.reply;
    }
}

std::string StatusText(const CommandResult& result) {
    switch (result.outcome) {
    case CommandOutcome::Timeout:
        return "Status: request timeout.";
    case CommandOutcome::Answered:
        return "Status: " + BoardStatus(result);
    default:
        return "Status: unknown.";
    }
}

std::string BoardInformationText(const CommandResult& result) {
    const std::array<std::string, 4> fields = BoardIdentity(result);
    std::string text = "Board Information:";
    for (std::size_t i = 0; i < fields.size(); ++i)
        text += "\r\n" + std::string(IdentityCaptions[i]) + ": " + fields[i];
    return text;
}

} // namespace

std::string_view StepOutcomeText(Transfer transfer, const TransferStep& step) {
    switch (transfer) {
    case Transfer::WriteToBoard:
        return WriteText(step);
    case Transfer::ReadFromBoard:
        return DeviceReadText(step);
    case Transfer::ReadFromFile:
        break;
    }
    return FileReadText(step);
}

std::string ReportLineText(Transfer transfer, const TransferStep& step) {
    const std::string message(StepOutcomeText(transfer, step));
    if (transfer == Transfer::ReadFromFile)
        return message;
    std::string line = step.command + " | ";
    if (step.outcome == StepOutcome::Illegal || step.outcome == StepOutcome::NotReceived)
        line += WithoutFirstCr(step.reply) + " | ";
    return line + message;
}

std::string ReportText(const TransferReport& report) {
    std::string text;
    for (const TransferStep& step : report.steps)
        text += ReportLineText(report.transfer, step) + "\r\n";
    return text;
}

std::string CommandOutcomeText(const CommandResult& result) {
    switch (result.command) {
    case BoardCommand::Start:
        return AcknowledgeText(result, "Start");
    case BoardCommand::Status:
        return StatusText(result);
    case BoardCommand::PowerOnDefault:
        return AcknowledgeText(result, "Setting power on defaults");
    case BoardCommand::BoardInformation:
        break;
    }
    return BoardInformationText(result);
}

const std::array<std::string_view, 4>& BoardIdentityCaptions() {
    return IdentityCaptions;
}

} // namespace kronax
