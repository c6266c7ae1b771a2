#pragma once

#include "protocol/ConfigurationView.h"
#include "protocol/DeviceConfiguration.h"
#include "protocol/OptionLists.h"

#include <array>

namespace kronax {

// A copy of everything a payload is built from: the numeric parameters and the position of
// every selection (from 0), taken at one moment.
struct ConfigurationSnapshot {
    DeviceConfiguration configuration;
    std::array<int, SelectionCount> selections{};

    int Selected(Selection selection) const {
        return selections[static_cast<std::size_t>(selection)];
    }
    int& Selected(Selection selection) { return selections[static_cast<std::size_t>(selection)]; }

    bool operator==(const ConfigurationSnapshot&) const = default;
};

// The configuration and selections the view shows now. On the thread that owns the view.
ConfigurationSnapshot TakeSnapshot(const IConfigurationView& view);

// The start values of a new window: the numeric start values and every list at its start position.
ConfigurationSnapshot StartSnapshot();

} // namespace kronax
