#include "protocol/PayloadCodec.h"
#include "protocol/SensorRules.h"

#include <cstdint>

namespace kronax {
namespace {

void AppendHex(std::string& out, std::int32_t value, std::size_t width) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string digits;
    for (auto bits = static_cast<std::uint32_t>(value); bits != 0; bits >>= 4)
        digits.insert(digits.begin(), Digits[bits & 0xF]);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    out += digits;
}

std::string Groups(std::initializer_list<std::int32_t> values, std::size_t width) {
    std::string payload;
    for (std::int32_t value : values)
        AppendHex(payload, value, width);
    return payload;
}

std::string EncodeMod(const ConfigurationSnapshot& s) {
    using S = Selection;
    switch (s.Selected(S::SensorType)) {
    case sensor_type::PulseTrigger:
        return Groups({s.Selected(S::CdmInput) == 0 ? 1 : 2, s.Selected(S::EdgeTrigger),
                       s.Selected(S::EdgeAB), s.Selected(S::InputFilter),
                       s.Selected(S::EncoderMode)},
                      1);
    case sensor_type::MotionEncoder:
        return Groups({3, s.Selected(S::EdgeTrigger), s.Selected(S::EdgeAB),
                       s.Selected(S::InputFilter), s.Selected(S::EncoderMode)},
                      1);
    case sensor_type::InCarWithGaps:
    case sensor_type::InCarDoubleTooth:
        return Groups({s.Selected(S::SensorType) == sensor_type::InCarWithGaps ? 0 : 4,
                       s.Selected(S::CaInput), s.Selected(S::EdgeDetection),
                       s.Selected(S::InputFilter), s.Selected(S::TriggerLevel)},
                      1);
    default:
        return "00000";
    }
}

int EnableMask(const ConfigurationSnapshot& s) {
    int mask = 0;
    if (s.Selected(Selection::Aux1Source) != AuxSourceOff &&
        !Aux1Withheld(s.Selected(Selection::SensorType), s.Selected(Selection::CaInput)))
        mask |= 1;
    if (s.Selected(Selection::Aux2Source) != AuxSourceOff)
        mask |= 2;
    if (s.Selected(Selection::SensorType) != sensor_type::Off)
        mask |= 4 | 8;
    return mask;
}

int AuxDigit(int source) {
    return source == AuxSourceOff ? 0 : source;
}

std::string EncodeMux(const ConfigurationSnapshot& s) {
    return Groups({AuxDigit(s.Selected(Selection::Aux1Source)),
                   AuxDigit(s.Selected(Selection::Aux2Source)), s.Selected(Selection::Di6Source),
                   s.Selected(Selection::Di7Source), EnableMask(s)},
                  1);
}

} // namespace

std::string EncodePayload(PayloadKind kind, const ConfigurationSnapshot& snapshot) {
    const DeviceConfiguration& c = snapshot.configuration;
    switch (kind) {
    case PayloadKind::SEN:
        return Groups({c.Tooth1, c.Gap1, c.Tooth2, c.Gap2, c.Tooth3, c.Gap3}, 2);
    case PayloadKind::CDM:
        return Groups({c.CountsPerRev}, 4);
    case PayloadKind::ABV:
        return Groups({c.Alpha, c.Beta}, 2);
    case PayloadKind::TDF:
        return Groups({c.Multiplier, c.Divider}, 2);
    case PayloadKind::MOD:
        return EncodeMod(snapshot);
    case PayloadKind::MUX:
        return EncodeMux(snapshot);
    }
    return {};
}

std::string EncodePayload(PayloadKind kind, const IConfigurationView& view) {
    return EncodePayload(kind, TakeSnapshot(view));
}

PayloadTexts EncodePayloads(const ConfigurationSnapshot& snapshot) {
    PayloadTexts payloads;
    for (PayloadKind kind : PayloadKinds)
        payloads[static_cast<std::size_t>(kind)] = EncodePayload(kind, snapshot);
    return payloads;
}

} // namespace kronax
