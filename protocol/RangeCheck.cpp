#include "protocol/RangeCheck.h"

#include <algorithm>

namespace kronax {

std::int32_t CountsPerRevLimit(int encoderMode, int edgeAB) {
    const std::int32_t ofMode = EdgeFactorOfEncoderMode(encoderMode, 1);
    const std::int32_t ofEdges = EdgeFactorOfEdges(edgeAB, -1, 1);
    return MaxCountsPerRevFor(std::max(ofMode, ofEdges));
}

ValueRange AcceptedValuesIn(const ConfigurationSnapshot& snapshot, NumberField field) {
    return AcceptedValues(field, CountsPerRevLimit(snapshot.Selected(Selection::EncoderMode),
                                                   snapshot.Selected(Selection::EdgeAB)));
}

std::vector<OutOfRangeValue> OutOfRangeValues(const ConfigurationSnapshot& snapshot) {
    std::vector<OutOfRangeValue> found;
    for (int index = 0; index < NumberFieldCount; ++index) {
        const auto field = static_cast<NumberField>(index);
        const std::int32_t value = FieldValue(snapshot.configuration, field);
        const ValueRange accepted = AcceptedValuesIn(snapshot, field);
        if (value < accepted.min || value > accepted.max)
            found.push_back({field, value, accepted});
    }
    return found;
}

} // namespace kronax
