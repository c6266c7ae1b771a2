#include "protocol/DeviceConfiguration.h"

#include <array>

namespace kronax {
namespace {

using ByteMember = std::uint8_t DeviceConfiguration::*;

// The 8-bit fields in the order of NumberField, which lists CountsPerRev first.
constexpr std::array<ByteMember, NumberFieldCount - 1> ByteMembers = {
    &DeviceConfiguration::Tooth1,     &DeviceConfiguration::Tooth2,  &DeviceConfiguration::Tooth3,
    &DeviceConfiguration::Gap1,       &DeviceConfiguration::Gap2,    &DeviceConfiguration::Gap3,
    &DeviceConfiguration::Multiplier, &DeviceConfiguration::Divider, &DeviceConfiguration::Alpha,
    &DeviceConfiguration::Beta};

ByteMember ByteMemberOf(NumberField field) {
    return ByteMembers.at(static_cast<std::size_t>(field) - 1);
}

} // namespace

std::int32_t FieldValue(const DeviceConfiguration& configuration, NumberField field) {
    if (field == NumberField::CountsPerRev)
        return configuration.CountsPerRev;
    return configuration.*ByteMemberOf(field);
}

void StoreFieldValue(DeviceConfiguration& configuration, NumberField field, std::int32_t value) {
    if (field == NumberField::CountsPerRev)
        configuration.CountsPerRev = value;
    else
        configuration.*ByteMemberOf(field) = static_cast<std::uint8_t>(value);
}

} // namespace kronax
