#pragma once

#include "protocol/ConfigurationSnapshot.h"
#include "protocol/EntryRules.h"

#include <cstdint>
#include <vector>

namespace kronax {

// The entry rules applied to a whole configuration at once, for front ends that take values from
// a file or a board rather than from the entry fields. Pure functions; any thread.

// The counts-per-revolution limit for an encoder mode and an edges-A-B setting (positions, -1 for
// none). The window's limit also depends on which of the two was changed last; this takes the
// stricter of the two, so that a value it accepts is accepted by the window whatever the order.
std::int32_t CountsPerRevLimit(int encoderMode, int edgeAB);

// The values an entry field accepts for field within snapshot, with the linked counts limit.
ValueRange AcceptedValuesIn(const ConfigurationSnapshot& snapshot, NumberField field);

struct OutOfRangeValue {
    NumberField field;
    std::int32_t value;
    ValueRange accepted;

    bool operator==(const OutOfRangeValue&) const = default;
};

// Every numeric parameter of snapshot that its entry field would show as invalid, in the order
// of NumberField. Hidden fields count: their values are written to the board all the same.
std::vector<OutOfRangeValue> OutOfRangeValues(const ConfigurationSnapshot& snapshot);

} // namespace kronax
