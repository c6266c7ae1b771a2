#include "protocol/FieldCaptions.h"

#include <array>

namespace kronax {
namespace {

using namespace std::string_view_literals;

// In the order of Selection.
constexpr std::array<std::string_view, SelectionCount> SelectionCaptions = {
    "Sensor Type"sv,  "Input Selection"sv, "Mode"sv,      "Input Selection"sv,
    "Edge Trigger"sv, "Edge Detection"sv,  "Edge A, B"sv, "Trigger Level"sv,
    "Input Filter"sv, "AUX 1"sv,           "AUX 2"sv,     "DI 6"sv,
    "DI 7"sv};

// In the order of NumberField.
constexpr std::array<std::string_view, NumberFieldCount> NumberFieldCaptions = {
    "Counts per Rev."sv,
    "Tooth 1"sv,
    "Tooth 2"sv,
    "Tooth 3"sv,
    "Gap 1"sv,
    "Gap 2"sv,
    "Gap 3"sv,
    "Multiplier (0..255)"sv,
    "Divider (1..255)"sv,
    "Alpha (0..15)"sv,
    "Beta (0..255)"sv};

} // namespace

std::string_view SelectionCaption(Selection selection) {
    return SelectionCaptions[static_cast<std::size_t>(selection)];
}

std::string_view NumberFieldCaption(NumberField field) {
    return NumberFieldCaptions[static_cast<std::size_t>(field)];
}

} // namespace kronax
