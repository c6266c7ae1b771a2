#pragma once

#include "protocol/DeviceConfiguration.h"
#include "protocol/OptionLists.h"

#include <string_view>

namespace kronax {

// The captions under which the window shows each setting, so that every front end names the
// settings alike: "Sensor Type", "Edge A, B", "AUX 1", "Counts per Rev.", "Divider (1..255)", ...
// The CDM and the CA input share the caption "Input Selection". Any thread.
std::string_view SelectionCaption(Selection selection);
std::string_view NumberFieldCaption(NumberField field);

} // namespace kronax
