#include "protocol/EntryRules.h"

#include "protocol/IntegerText.h"
#include "protocol/OptionLists.h"

namespace kronax {

ValueRange AcceptedValues(NumberField field, std::int32_t maxCountsPerRev) {
    switch (field) {
    case NumberField::CountsPerRev:
        return {1, maxCountsPerRev};
    case NumberField::Tooth1:
        return {1, 127};
    case NumberField::Tooth2:
    case NumberField::Tooth3:
        return {0, 127};
    case NumberField::Gap1:
        return {1, 14};
    case NumberField::Gap2:
    case NumberField::Gap3:
        return {0, 14};
    case NumberField::Divider:
        return {1, 255};
    case NumberField::Alpha:
        return {0, 15};
    case NumberField::Multiplier:
    case NumberField::Beta:
        return {0, 255};
    }
    return {0, 0};
}

std::optional<std::int32_t> ReadFieldValue(std::string_view text, ValueRange range) {
    const std::optional<std::int32_t> value = ReadInteger(text);
    if (!value || *value < range.min || *value > range.max)
        return std::nullopt;
    return value;
}

std::int32_t EdgeFactorOfEncoderMode(int encoderMode, std::int32_t current) {
    switch (encoderMode) {
    case 0:
        return 1;
    case 1:
        return 2;
    case 2:
        return 4;
    default:
        return current;
    }
}

std::int32_t EdgeFactorOfEdges(int edgeAB, int encoderMode, std::int32_t current) {
    if (edgeAB == EdgeABBoth)
        return 2;
    return EdgeFactorOfEncoderMode(encoderMode, current);
}

bool AlphaBetaEditable(std::uint8_t multiplier, std::int32_t countsPerRev,
                       std::int32_t edgeFactor) {
    return multiplier != 0 && countsPerRev <= edgeFactor * 1800;
}

} // namespace kronax
