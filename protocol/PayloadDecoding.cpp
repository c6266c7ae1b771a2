#include "protocol/PayloadCodec.h"

#include "protocol/HexDigits.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <stdexcept>

namespace kronax {
namespace {

// The group of width characters at offset as a number, or nothing when a character is no
// hexadecimal digit.
std::optional<std::int32_t> ReadGroup(std::string_view text, std::size_t offset,
                                      std::size_t width) {
    std::int32_t value = 0;
    for (char c : text.substr(offset, width)) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}

struct NumberGroup {
    NumberField field;
    std::size_t width;
};

std::span<const NumberGroup> NumberGroups(PayloadKind kind) {
    using F = NumberField;
    static constexpr std::array<NumberGroup, 6> Sen = {
        {{F::Tooth1, 2}, {F::Gap1, 2}, {F::Tooth2, 2}, {F::Gap2, 2}, {F::Tooth3, 2}, {F::Gap3, 2}}};
    static constexpr std::array<NumberGroup, 1> Cdm = {{{F::CountsPerRev, 4}}};
    static constexpr std::array<NumberGroup, 2> Abv = {{{F::Alpha, 2}, {F::Beta, 2}}};
    static constexpr std::array<NumberGroup, 2> Tdf = {{{F::Multiplier, 2}, {F::Divider, 2}}};
    switch (kind) {
    case PayloadKind::SEN:
        return Sen;
    case PayloadKind::CDM:
        return Cdm;
    case PayloadKind::ABV:
        return Abv;
    case PayloadKind::TDF:
        return Tdf;
    default:
        return {};
    }
}

DecodeResult DecodeNumbers(PayloadKind kind, std::string_view text, IConfigurationView& view) {
    std::size_t offset = 0;
    for (const NumberGroup& group : NumberGroups(kind)) {
        const auto value = ReadGroup(text, offset, group.width);
        if (!value)
            return DecodeResult::Illegal;
        view.StoreNumber(group.field, *value);
        offset += group.width;
    }
    return DecodeResult::Legal;
}

void SelectClamped(IConfigurationView& view, Selection selection, int position) {
    const auto lastItem = static_cast<int>(OptionItems(selection).size()) - 1;
    view.Select(selection, std::min(position, lastItem));
}

// The five single digits of a MOD or MUX payload, read from the left until one is illegal.
struct Digits {
    std::array<int, 5> values{};
    std::size_t legalCount = 0;

    explicit Digits(std::string_view text) {
        while (legalCount < values.size()) {
            const int digit = HexDigitValue(text[legalCount]);
            if (digit < 0)
                break;
            values[legalCount++] = digit;
        }
    }
    bool AllLegal() const { return legalCount == values.size(); }
};

DecodeResult DecodeMod(std::string_view text, IConfigurationView& view, int& modeCode) {
    const Digits digits(text);
    if (digits.legalCount > 0)
        modeCode = digits.values[0];
    if (!digits.AllLegal())
        return DecodeResult::Illegal;

    const auto [m1, m2, m3, m4, m5] = digits.values;
    if (m1 >= 1 && m1 <= 3)
        SelectClamped(view, Selection::CdmInput, m1 - 1);
    SelectClamped(view, Selection::EdgeTrigger, m2);
    SelectClamped(view, Selection::CaInput, m2);
    SelectClamped(view, Selection::EdgeAB, m3);
    SelectClamped(view, Selection::EdgeDetection, m3);
    SelectClamped(view, Selection::InputFilter, m4);
    SelectClamped(view, Selection::EncoderMode, m5);
    SelectClamped(view, Selection::TriggerLevel, std::min(m5, 1));
    return DecodeResult::Legal;
}

// The sensor type a board reports through the first MOD digit; nothing for codes that name none.
std::optional<int> SensorTypeForModeCode(int modeCode) {
    switch (modeCode) {
    case 0:
        return sensor_type::InCarWithGaps;
    case 1:
    case 2:
        return sensor_type::PulseTrigger;
    case 3:
        return sensor_type::MotionEncoder;
    case 4:
        return sensor_type::InCarDoubleTooth;
    default:
        return std::nullopt;
    }
}

DecodeResult DecodeMux(std::string_view text, IConfigurationView& view, int modeCode) {
    const Digits digits(text);
    if (!digits.AllLegal())
        return DecodeResult::Illegal;

    const auto [a1, a2, d6, d7, enableMask] = digits.values;
    SelectClamped(view, Selection::Aux1Source, (enableMask & 1) != 0 ? a1 : AuxSourceOff);
    SelectClamped(view, Selection::Aux2Source, (enableMask & 2) != 0 ? a2 : AuxSourceOff);
    SelectClamped(view, Selection::Di6Source, std::min(d6, DiSourceOff));
    SelectClamped(view, Selection::Di7Source, std::min(d7, DiSourceOff));
    if (enableMask == 0)
        view.Select(Selection::SensorType, sensor_type::Off);
    else if (const auto sensorType = SensorTypeForModeCode(modeCode))
        view.Select(Selection::SensorType, *sensorType);
    return DecodeResult::Legal;
}

} // namespace

DecodeResult DecodePayload(PayloadKind kind, std::string_view text, IConfigurationView& view,
                           int& modeCode) {
    if (text.size() != PayloadLength(kind))
        throw std::invalid_argument("payload of the wrong length");
    switch (kind) {
    case PayloadKind::MOD:
        return DecodeMod(text, view, modeCode);
    case PayloadKind::MUX:
        return DecodeMux(text, view, modeCode);
    default:
        return DecodeNumbers(kind, text, view);
    }
}

} // namespace kronax
