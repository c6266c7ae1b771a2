#include "fuzz/ReferenceDecoding.h"

#include "protocol/OptionLists.h"

#include <algorithm>
#include <array>
#include <optional>

namespace kronax::fuzz {
namespace {

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return std::nullopt;
}

std::optional<int> Group(std::string_view digits) {
    int value = 0;
    for (char c : digits) {
        const std::optional<int> digit = HexDigit(c);
        if (!digit)
            return std::nullopt;
        value = value * 16 + *digit;
    }
    return value;
}

// A position beyond a list selects its last item.
void Select(ConfigurationSnapshot& snapshot, Selection selection, int position) {
    const int last = static_cast<int>(OptionItems(selection).size()) - 1;
    snapshot.Selected(selection) = std::min(position, last);
}

// Groups of width 2 (or 4 for CDM) applied one by one until an illegal one.
void DecodeGroups(std::string_view text, std::size_t width,
                  std::initializer_list<std::uint8_t DeviceConfiguration::*> fields,
                  ReferenceDecoding& result) {
    std::size_t at = 0;
    for (std::uint8_t DeviceConfiguration::*field : fields) {
        const std::optional<int> value = Group(text.substr(at, width));
        if (!value) {
            result.legal = false;
            return;
        }
        result.snapshot.configuration.*field = static_cast<std::uint8_t>(*value);
        at += width;
    }
}

void DecodeMod(std::string_view text, ReferenceDecoding& result) {
    std::array<int, 5> m{};
    for (std::size_t i = 0; i < m.size(); ++i) {
        const std::optional<int> digit = HexDigit(text[i]);
        if (!digit) {
            result.legal = false;
            return;
        }
        m[i] = *digit;
        if (i == 0)
            result.modeCode = m[0];
    }
    ConfigurationSnapshot& s = result.snapshot;
    if (m[0] >= 1 && m[0] <= 3)
        Select(s, Selection::CdmInput, m[0] - 1);
    Select(s, Selection::EdgeTrigger, m[1]);
    Select(s, Selection::CaInput, m[1]);
    Select(s, Selection::EdgeAB, m[2]);
    Select(s, Selection::EdgeDetection, m[2]);
    Select(s, Selection::InputFilter, m[3]);
    Select(s, Selection::EncoderMode, m[4]);
    Select(s, Selection::TriggerLevel, std::min(m[4], 1));
}

void DecodeMux(std::string_view text, ReferenceDecoding& result) {
    std::array<int, 5> d{};
    for (std::size_t i = 0; i < d.size(); ++i) {
        const std::optional<int> digit = HexDigit(text[i]);
        if (!digit) {
            result.legal = false;
            return;
        }
        d[i] = *digit;
    }
    ConfigurationSnapshot& s = result.snapshot;
    const int k = d[4];
    Select(s, Selection::Aux1Source, (k & 1) ? d[0] : AuxSourceOff);
    Select(s, Selection::Aux2Source, (k & 2) ? d[1] : AuxSourceOff);
    Select(s, Selection::Di6Source, std::min(d[2], DiSourceOff));
    Select(s, Selection::Di7Source, std::min(d[3], DiSourceOff));
    constexpr std::array<int, 5> SensorByModeCode = {
        sensor_type::InCarWithGaps, sensor_type::PulseTrigger, sensor_type::PulseTrigger,
        sensor_type::MotionEncoder, sensor_type::InCarDoubleTooth};
    if (k == 0)
        s.Selected(Selection::SensorType) = sensor_type::Off;
    else if (result.modeCode >= 0 && result.modeCode < 5)
        s.Selected(Selection::SensorType) =
            SensorByModeCode[static_cast<std::size_t>(result.modeCode)];
}

} // namespace

ReferenceDecoding ReferenceDecode(PayloadKind kind, std::string_view text,
                                  const ConfigurationSnapshot& snapshot, int modeCode) {
    ReferenceDecoding result{true, snapshot, modeCode};
    DeviceConfiguration& c = result.snapshot.configuration;
    switch (kind) {
    case PayloadKind::SEN:
        DecodeGroups(text, 2,
                     {&DeviceConfiguration::Tooth1, &DeviceConfiguration::Gap1,
                      &DeviceConfiguration::Tooth2, &DeviceConfiguration::Gap2,
                      &DeviceConfiguration::Tooth3, &DeviceConfiguration::Gap3},
                     result);
        break;
    case PayloadKind::CDM:
        if (const std::optional<int> value = Group(text.substr(0, 4)))
            c.CountsPerRev = *value;
        else
            result.legal = false;
        break;
    case PayloadKind::ABV:
        DecodeGroups(text, 2, {&DeviceConfiguration::Alpha, &DeviceConfiguration::Beta}, result);
        break;
    case PayloadKind::TDF:
        DecodeGroups(text, 2, {&DeviceConfiguration::Multiplier, &DeviceConfiguration::Divider},
                     result);
        break;
    case PayloadKind::MOD:
        DecodeMod(text, result);
        break;
    case PayloadKind::MUX:
        DecodeMux(text, result);
        break;
    }
    return result;
}

} // namespace kronax::fuzz
