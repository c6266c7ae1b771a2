#pragma once

#include "protocol/ConfigurationSnapshot.h"
#include "protocol/ConfigurationView.h"

namespace kronax {

// A configuration view without a window: it keeps the numbers and the selections and applies
// no panel or entry rules. Serves tests and tools. Not thread-safe; use it from one thread.
class MemoryConfigurationView : public IConfigurationView {
public:
    // Starts with the values a new window shows.
    MemoryConfigurationView() : MemoryConfigurationView(StartSnapshot()) {}
    explicit MemoryConfigurationView(const ConfigurationSnapshot& snapshot) : state_(snapshot) {}

    const DeviceConfiguration& Configuration() const override { return state_.configuration; }
    int Selected(Selection selection) const override { return state_.Selected(selection); }

    // Stores the value in its field; the 8-bit fields keep its low eight bits.
    void StoreNumber(NumberField field, std::int32_t value) override;

    // Raises std::out_of_range when position is not an item of the selection's list.
    void Select(Selection selection, int position) override;

    const ConfigurationSnapshot& Snapshot() const { return state_; }

private:
    ConfigurationSnapshot state_;
};

} // namespace kronax
