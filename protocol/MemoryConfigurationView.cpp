#include "MemoryConfigurationView.h"

#include <stdexcept>

namespace kronax {
namespace {

std::uint8_t& ByteField(DeviceConfiguration& configuration, NumberField field) {
    switch (field) {
    case NumberField::Tooth1:
        return configuration.Tooth1;
    case NumberField::Tooth2:
        return configuration.Tooth2;
    case NumberField::Tooth3:
        return configuration.Tooth3;
    case NumberField::Gap1:
        return configuration.Gap1;
    case NumberField::Gap2:
        return configuration.Gap2;
    case NumberField::Gap3:
        return configuration.Gap3;
    case NumberField::Multiplier:
        return configuration.Multiplier;
    case NumberField::Divider:
        return configuration.Divider;
    case NumberField::Alpha:
        return configuration.Alpha;
    case NumberField::Beta:
        return configuration.Beta;
    case NumberField::CountsPerRev:
        break;
    }
    throw std::invalid_argument("not an 8-bit field");
}

} // namespace

void MemoryConfigurationView::StoreNumber(NumberField field, std::int32_t value) {
    if (field == NumberField::CountsPerRev)
        state_.configuration.CountsPerRev = value;
    else
        ByteField(state_.configuration, field) = static_cast<std::uint8_t>(value);
}

void MemoryConfigurationView::Select(Selection selection, int position) {
    const auto itemCount = static_cast<int>(OptionItems(selection).size());
    if (position < 0 || position >= itemCount)
        throw std::out_of_range("selection position outside its list");
    state_.Selected(selection) = position;
}

} // namespace kronax
