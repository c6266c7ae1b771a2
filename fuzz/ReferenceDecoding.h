#pragma once

#include "protocol/ConfigurationSnapshot.h"
#include "protocol/PayloadKind.h"

#include <string_view>

namespace kronax::fuzz {

// Payload decoding written a second time, straight from the rules of the payload format and
// apart from the program's own decoder, for the harnesses to hold that one to.
struct ReferenceDecoding {
    bool legal = true;
    ConfigurationSnapshot snapshot;
    int modeCode = 0;
};

// What decoding text (of the kind's length) into snapshot, with modeCode so far, must give.
ReferenceDecoding ReferenceDecode(PayloadKind kind, std::string_view text,
                                  const ConfigurationSnapshot& snapshot, int modeCode);

} // namespace kronax::fuzz
