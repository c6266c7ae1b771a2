#include "protocol/TransferMessages.h"

#include <array>

namespace kronax {
namespace {

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

} // namespace

const WriteMessages& WriteMessagesFor(PayloadKind kind) {
    return Write[static_cast<std::size_t>(kind)];
}

const DeviceReadMessages& DeviceReadMessagesFor(PayloadKind kind) {
    return DeviceRead[static_cast<std::size_t>(kind)];
}

const FileReadMessages& FileReadMessagesFor(PayloadKind kind) {
    return FileRead[static_cast<std::size_t>(kind)];
}

} // namespace kronax
