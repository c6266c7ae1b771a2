#pragma once

#include "protocol/ConfigurationSnapshot.h"
#include "protocol/ConfigurationView.h"
#include "protocol/PayloadKind.h"

#include <string>
#include <string_view>

namespace kronax {

// Builds the payload of kind from the snapshot: every group in upper-case hexadecimal, padded
// with zeros to its width, so a configuration whose values fit their fields gives exactly
// PayloadLength(kind) characters. Changes nothing and cannot fail. Any thread.
std::string EncodePayload(PayloadKind kind, const ConfigurationSnapshot& snapshot);

// The same, built from what the view shows now. On the thread that owns the view.
std::string EncodePayload(PayloadKind kind, const IConfigurationView& view);

// All six payloads of the snapshot, SEN to MUX. Any thread.
PayloadTexts EncodePayloads(const ConfigurationSnapshot& snapshot);

enum class DecodeResult { Legal, Illegal };

// Applies a payload of kind to the view and tells whether all of it was legal; a group holding
// anything but the digits 0-9, A-F and a-f is illegal. SEN, CDM, ABV and TDF apply each value
// as soon as its group is read, so the groups before an illegal one stay applied. MOD and MUX
// apply nothing unless all five digits are legal.
// modeCode belongs to one configuration read and starts at 0: MOD sets it from its first digit
// whenever that digit is legal, and MUX uses it to choose the sensor type.
// Numbers go through StoreNumber, list positions through Select; a digit beyond a list selects
// its last item. Raises std::invalid_argument when text does not have PayloadLength(kind)
// characters, before applying anything. On the thread that owns the view.
DecodeResult DecodePayload(PayloadKind kind, std::string_view text, IConfigurationView& view,
                           int& modeCode);

} // namespace kronax
