#pragma once

#include "protocol/PayloadKind.h"

#include <string_view>

namespace kronax {

// The outcome texts of writing one payload to the board.
struct WriteMessages {
    std::string_view acknowledged;
    std::string_view notAcknowledged;
    std::string_view timeout;
};

// The outcome texts of querying one payload from the board.
struct DeviceReadMessages {
    std::string_view received;
    std::string_view illegal;
    std::string_view notReceived;
    std::string_view timeout;
};

// The outcome texts of reading one payload from a configuration file.
struct FileReadMessages {
    std::string_view read;
    std::string_view illegal;
    std::string_view incomplete;
};

// The texts for one kind; the MUX step of a read reports with the operation-mode texts.
// They live for the whole run. Any thread.
const WriteMessages& WriteMessagesFor(PayloadKind kind);
const DeviceReadMessages& DeviceReadMessagesFor(PayloadKind kind);
const FileReadMessages& FileReadMessagesFor(PayloadKind kind);

} // namespace kronax
