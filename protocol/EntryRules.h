#pragma once

#include "protocol/DeviceConfiguration.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace kronax {

// The toolkit-free parts of the parameter entry rules. Pure functions; any thread.

inline constexpr std::int32_t StartMaxCountsPerRev = 7200;

struct ValueRange {
    std::int32_t min;
    std::int32_t max;

    bool operator==(const ValueRange&) const = default;
};

// The values an entry field accepts for field; the counts per revolution accept 1 to
// maxCountsPerRev.
ValueRange AcceptedValues(NumberField field, std::int32_t maxCountsPerRev);

// The number a field's text holds when it is one whole number within range, else nothing.
std::optional<std::int32_t> ReadFieldValue(std::string_view text, ValueRange range);

// The edge factor after a change of the encoder mode: 1, 2 or 4 for "x1", "x2", "x4"; with no
// mode selected (-1) the current factor stays.
std::int32_t EdgeFactorOfEncoderMode(int encoderMode, std::int32_t current);

// The edge factor after a change of the edges-A-B setting: 2 for "both", otherwise that of the
// encoder mode.
std::int32_t EdgeFactorOfEdges(int edgeAB, int encoderMode, std::int32_t current);

// The counts-per-revolution limit for an edge factor: 7200, 3600 or 1800.
inline std::int32_t MaxCountsPerRevFor(std::int32_t edgeFactor) {
    return StartMaxCountsPerRev / edgeFactor;
}

// Whether alpha and beta may be edited: a multiplier is set and the counts per revolution are
// at most edgeFactor x 1800.
bool AlphaBetaEditable(std::uint8_t multiplier, std::int32_t countsPerRev, std::int32_t edgeFactor);

} // namespace kronax
