#pragma once

#include "protocol/DeviceConfiguration.h"

#include <cstdint>
#include <string>

namespace kronax {

// A field whose text does not hold the value stored for it (an invalid text), or whose stored
// value is outside the field's range (outOfRange; read from the board or a file): a write sends
// stored.
struct FieldMismatch {
    NumberField field;
    std::string shown;
    std::int32_t stored;
    bool outOfRange = false;
    // An out-of-range value the board holds itself.
    bool reportedByBoard = false;
};

} // namespace kronax
