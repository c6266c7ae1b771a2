#include "protocol/MemoryConfigurationView.h"

#include <stdexcept>

namespace kronax {

void MemoryConfigurationView::StoreNumber(NumberField field, std::int32_t value) {
    StoreFieldValue(state_.configuration, field, value);
}

void MemoryConfigurationView::Select(Selection selection, int position) {
    const auto itemCount = static_cast<int>(OptionItems(selection).size());
    if (position < 0 || position >= itemCount)
        throw std::out_of_range("selection position outside its list");
    state_.Selected(selection) = position;
}

} // namespace kronax
