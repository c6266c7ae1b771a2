#pragma once

#include "protocol/ConfigurationSnapshot.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

namespace kronax::cli {

// One setting as the window names and shows it.
struct NamedField {
    std::string key;                    // "edge_trigger", "counts_per_rev", ...: for scripts
    std::string caption;                // "Edge Trigger", "Counts per Rev.", ...
    std::string text;                   // the option text or the decimal value, UTF-8
    std::optional<std::int32_t> number; // set for the numeric parameters
};

// The settings the window shows for the snapshot's sensor type, in the window's order, then the
// AUX and DI sources, then multiplier, divider, alpha and beta.
std::vector<NamedField> ShownFields(const ConfigurationSnapshot& snapshot);

// The shown fields as "caption: text" lines, each ending with a line end.
std::string FieldsText(const ConfigurationSnapshot& snapshot);

// The shown fields as a JSON object under their keys: option texts as strings, parameters as
// numbers.
nlohmann::ordered_json FieldsJson(const ConfigurationSnapshot& snapshot);

struct FieldDifference {
    std::string key;
    std::string caption;
    std::string boardText;
    std::string fileText;
};

// The settings that differ between what the board holds and what a file holds, in the window's
// order. Both sides are compared as a board would hold them after a write, so a setting that no
// payload carries for the sensor type (an option of another sensor type) never differs, while
// one that a payload carries does, shown for the sensor type or not (the counts per revolution).
std::vector<FieldDifference> DiffFields(const ConfigurationSnapshot& board,
                                        const ConfigurationSnapshot& file);

// The differences as lines "caption: board X, file Y", or "No differences." alone.
std::string DifferencesText(const std::vector<FieldDifference>& differences);

} // namespace kronax::cli
