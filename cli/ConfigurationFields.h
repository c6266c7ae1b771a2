#pragma once

#include "cli/Settings.h"
#include "protocol/ConfigurationSnapshot.h"
#include "protocol/PayloadKind.h"
#include "protocol/RangeCheck.h"

#include <nlohmann/json.hpp>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace kronax::cli {

// One setting as the window names and shows it.
struct NamedField {
    std::string key;                    // "edge_trigger", "counts_per_rev", ...: for scripts
    std::string caption;                // "Edge Trigger", "Counts per Rev.", ...
    std::string text;                   // the option text or the decimal value, UTF-8
    nlohmann::ordered_json value;       // a number, or the choice as ChoiceText gives it
    std::optional<ValueRange> accepted; // set when the value is out of its entry range
};

// Which of the six payloads a configuration was read from, SEN to MUX.
using HeldPayloads = std::array<bool, PayloadKinds.size()>;
inline constexpr HeldPayloads AllPayloadsHeld = {true, true, true, true, true, true};

// The settings the window shows for the snapshot's sensor type, in the window's order, then the
// AUX and DI sources, then multiplier, divider, alpha and beta. Only settings whose payloads are
// held appear; without the sensor type's payloads every held setting does.
std::vector<NamedField> ShownFields(const ConfigurationSnapshot& snapshot,
                                    const HeldPayloads& held = AllPayloadsHeld);

// The shown fields as "caption: text" lines, each ending with a line end; an out-of-range value
// is followed by its range.
std::string FieldsText(const ConfigurationSnapshot& snapshot,
                       const HeldPayloads& held = AllPayloadsHeld);

// The shown fields as a JSON object under their keys: choices as ChoiceText gives them,
// parameters as numbers.
nlohmann::ordered_json FieldsJson(const ConfigurationSnapshot& snapshot,
                                  const HeldPayloads& held = AllPayloadsHeld);

// "divider 0 (out of range 1 to 255)".
std::string OutOfRangeLine(const OutOfRangeValue& found);
// The out-of-range values of snapshot joined by "; ", or empty.
std::string OutOfRangeText(const ConfigurationSnapshot& snapshot);
// The same as JSON objects {field, value, min, max}.
nlohmann::ordered_json OutOfRangeJson(const ConfigurationSnapshot& snapshot);

struct FieldDifference {
    std::string key;
    std::string caption;
    std::string boardText;
    std::string fileText;
    nlohmann::ordered_json boardValue;
    nlohmann::ordered_json fileValue;
};

// The settings that differ between the configuration the board's payloads hold and the one a
// file's payloads hold, in the window's order, among those that the window shows for either
// sensor type. Both are decoded alike from their payloads, so only what a write can change can
// differ; a payload difference in settings neither sensor type shows is left to the payloads.
std::vector<FieldDifference> DiffFields(const PayloadTexts& board, const PayloadTexts& file);

// The differences as lines "caption: board X, file Y" (written names the other side), or
// "No differences." alone.
std::string DifferencesText(const std::vector<FieldDifference>& differences,
                            const std::string& written = "file");

} // namespace kronax::cli
