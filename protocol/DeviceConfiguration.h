#pragma once

#include <cstdint>

namespace kronax {

// The numeric board parameters, in the order the board's payloads and the window declare them.
// The start values are those a new window shows before anything is read from a board.
struct DeviceConfiguration {
    std::int32_t CountsPerRev = 1;
    std::uint8_t Tooth1 = 1;
    std::uint8_t Tooth2 = 0;
    std::uint8_t Tooth3 = 0;
    std::uint8_t Gap1 = 1;
    std::uint8_t Gap2 = 0;
    std::uint8_t Gap3 = 0;
    std::uint8_t Multiplier = 0;
    std::uint8_t Divider = 1;
    std::uint8_t Alpha = 0;
    std::uint8_t Beta = 0;

    bool operator==(const DeviceConfiguration&) const = default;
};

// Names one numeric parameter, so that code that stores a value can say which one.
enum class NumberField {
    CountsPerRev,
    Tooth1,
    Tooth2,
    Tooth3,
    Gap1,
    Gap2,
    Gap3,
    Multiplier,
    Divider,
    Alpha,
    Beta,
};

inline constexpr int NumberFieldCount = 11;

// The stored value of field in configuration, widened to 32 bits.
std::int32_t FieldValue(const DeviceConfiguration& configuration, NumberField field);

// Stores value in field of configuration; the 8-bit fields keep its low 8 bits.
void StoreFieldValue(DeviceConfiguration& configuration, NumberField field, std::int32_t value);

} // namespace kronax
