#pragma once

#include "protocol/ConfigurationSnapshot.h"
#include "protocol/PayloadKind.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

namespace kronax::cli {

// One setting as the window names and shows it.
struct NamedField {
    std::string caption;                // "Edge Trigger", "Counts per Rev.", ...
    std::string text;                   // the option text or the decimal value, UTF-8
    std::optional<std::int32_t> number; // set for the numeric parameters
};

// The settings the window shows for the snapshot's sensor type, in the window's order, then the
// AUX and DI sources, then multiplier, divider, alpha and beta.
std::vector<NamedField> ShownFields(const ConfigurationSnapshot& snapshot);

// The shown fields as "caption: text" lines, each ending with a line end.
std::string FieldsText(const ConfigurationSnapshot& snapshot);

// The shown fields as a JSON object: option texts as strings, parameters as numbers.
nlohmann::ordered_json FieldsJson(const ConfigurationSnapshot& snapshot);

struct FieldDifference {
    std::string caption;
    std::string boardText;
    std::string fileText;
};

// The settings that differ between the configuration the board's payloads hold and the one a
// file's payloads hold, in the window's order. Both are decoded alike from their payloads, so only
// what a write can change can differ: an option no payload carries never does, while one that a
// payload carries does, shown for the sensor type or not (the counts per revolution).
std::vector<FieldDifference> DiffFields(const PayloadTexts& board, const PayloadTexts& file);

// The differences as lines "caption: board X, file Y", or "No differences." alone.
std::string DifferencesText(const std::vector<FieldDifference>& differences);

} // namespace kronax::cli
