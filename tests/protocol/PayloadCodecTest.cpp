#include "protocol/PayloadCodec.h"
#include "protocol/MemoryConfigurationView.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace kronax {
namespace {

using S = Selection;

struct Encoded {
    PayloadKind kind;
    std::string payload;
};

std::vector<Encoded> EncodeAll(const ConfigurationSnapshot& snapshot) {
    std::vector<Encoded> payloads;
    for (PayloadKind kind : PayloadKinds)
        payloads.push_back({kind, EncodePayload(kind, snapshot)});
    return payloads;
}

// Decodes the payloads in order the way one configuration read does.
void DecodeAll(const std::vector<Encoded>& payloads, IConfigurationView& view) {
    int modeCode = 0;
    for (const Encoded& p : payloads)
        ASSERT_EQ(DecodePayload(p.kind, p.payload, view, modeCode), DecodeResult::Legal)
            << KindName(p.kind) << " " << p.payload;
}

ConfigurationSnapshot With(std::initializer_list<std::pair<Selection, int>> selections) {
    ConfigurationSnapshot snapshot = StartSnapshot();
    for (const auto& [selection, position] : selections)
        snapshot.Selected(selection) = position;
    return snapshot;
}

TEST(PayloadCodec, StartValuesEncodeToTheKnownPayloads) {
    const std::vector<std::string> expected = {"010100000000", "0001",  "0000",
                                               "0001",         "00000", "00880"};
    const auto payloads = EncodeAll(StartSnapshot());
    for (std::size_t i = 0; i < payloads.size(); ++i)
        EXPECT_EQ(payloads[i].payload, expected[i]) << KindName(payloads[i].kind);
}

TEST(PayloadCodec, StartPayloadsRestoreEveryStartValueOverAnotherConfiguration) {
    ConfigurationSnapshot other = With({{S::SensorType, 2},
                                        {S::EncoderMode, 2},
                                        {S::CaInput, 1},
                                        {S::EdgeTrigger, 1},
                                        {S::EdgeDetection, 1},
                                        {S::EdgeAB, 2},
                                        {S::TriggerLevel, 1},
                                        {S::InputFilter, 5},
                                        {S::Aux1Source, 3},
                                        {S::Aux2Source, 0},
                                        {S::Di6Source, 2},
                                        {S::Di7Source, 7}});
    other.configuration = {500, 7, 2, 3, 4, 5, 6, 9, 8, 3, 200};
    MemoryConfigurationView view(other);

    DecodeAll(EncodeAll(StartSnapshot()), view);

    EXPECT_EQ(view.Snapshot(), StartSnapshot());
}

TEST(PayloadCodec, EverySensorTypeComesBackWithTheOptionsItUses) {
    struct Case {
        ConfigurationSnapshot written;
        std::vector<Selection> used;
    };
    const std::vector<Case> cases = {
        {With({{S::SensorType, 1},
               {S::CdmInput, 1},
               {S::EdgeTrigger, 1},
               {S::EdgeAB, 2},
               {S::InputFilter, 7},
               {S::EncoderMode, 1},
               {S::Aux2Source, 4}}),
         {S::CdmInput, S::EdgeTrigger, S::EdgeAB, S::InputFilter, S::EncoderMode}},
        {With({{S::SensorType, 1}, {S::CdmInput, 0}, {S::InputFilter, 3}}),
         {S::CdmInput, S::InputFilter}},
        {With({{S::SensorType, 2},
               {S::CdmInput, 1},
               {S::EdgeTrigger, 1},
               {S::EdgeAB, 1},
               {S::InputFilter, 4},
               {S::EncoderMode, 2},
               {S::Aux1Source, 15}}),
         {S::EdgeTrigger, S::EdgeAB, S::InputFilter, S::EncoderMode}},
        {With({{S::SensorType, 3},
               {S::CaInput, 0},
               {S::EdgeDetection, 1},
               {S::InputFilter, 2},
               {S::TriggerLevel, 1},
               {S::Aux1Source, 0}}),
         {S::CaInput, S::EdgeDetection, S::InputFilter, S::TriggerLevel}},
        {With({{S::SensorType, 4}, {S::CaInput, 1}, {S::EdgeDetection, 1}, {S::InputFilter, 6}}),
         {S::CaInput, S::EdgeDetection, S::InputFilter}},
    };
    for (const Case& c : cases) {
        MemoryConfigurationView view;
        DecodeAll(EncodeAll(c.written), view);
        const int type = c.written.Selected(S::SensorType);
        EXPECT_EQ(view.Selected(S::SensorType), type);
        for (Selection used : c.used)
            EXPECT_EQ(view.Selected(used), c.written.Selected(used))
                << "sensor type " << type << ", selection " << static_cast<int>(used);
        for (Selection source : {S::Aux1Source, S::Aux2Source, S::Di6Source, S::Di7Source})
            EXPECT_EQ(view.Selected(source), c.written.Selected(source)) << "sensor type " << type;
    }
}

TEST(PayloadCodec, OffComesBackAsOffOnlyWhileBothAuxOutputsAreOff) {
    struct Case {
        int aux1;
        int aux2;
        int sensorTypeRead;
    };
    for (const Case& c : {Case{AuxSourceOff, AuxSourceOff, sensor_type::Off},
                          Case{3, AuxSourceOff, sensor_type::InCarWithGaps},
                          Case{AuxSourceOff, 0, sensor_type::InCarWithGaps},
                          Case{1, 2, sensor_type::InCarWithGaps}}) {
        MemoryConfigurationView view;
        DecodeAll(EncodeAll(With({{S::Aux1Source, c.aux1}, {S::Aux2Source, c.aux2}})), view);
        EXPECT_EQ(view.Selected(S::SensorType), c.sensorTypeRead)
            << "aux " << c.aux1 << ", " << c.aux2;
    }
}

TEST(PayloadCodec, Aux1OfAnInCarSensorOnCdmaIsNotEnabled) {
    const auto snapshot = With({{S::SensorType, 3}, {S::CaInput, 1}, {S::Aux1Source, 5}});
    EXPECT_EQ(EncodePayload(PayloadKind::MUX, snapshot), "5088C");
    EXPECT_EQ(EncodePayload(PayloadKind::MOD, snapshot), "01000");
}

TEST(PayloadCodec, DigitsBeyondAListSelectItsLastItem) {
    MemoryConfigurationView view;
    int modeCode = 0;
    ASSERT_EQ(DecodePayload(PayloadKind::MOD, "3159F", view, modeCode), DecodeResult::Legal);
    EXPECT_EQ(view.Selected(S::CdmInput), 1);
    EXPECT_EQ(view.Selected(S::EdgeAB), 2);
    EXPECT_EQ(view.Selected(S::EdgeDetection), 1);
    EXPECT_EQ(view.Selected(S::InputFilter), 7);
    EXPECT_EQ(view.Selected(S::EncoderMode), 2);
    EXPECT_EQ(view.Selected(S::TriggerLevel), 1);

    ASSERT_EQ(DecodePayload(PayloadKind::MUX, "FFF9F", view, modeCode), DecodeResult::Legal);
    EXPECT_EQ(view.Selected(S::Aux1Source), 15);
    EXPECT_EQ(view.Selected(S::Aux2Source), 15);
    EXPECT_EQ(view.Selected(S::Di6Source), DiSourceOff);
    EXPECT_EQ(view.Selected(S::Di7Source), DiSourceOff);
    EXPECT_EQ(view.Selected(S::SensorType), sensor_type::MotionEncoder);
}

TEST(PayloadCodec, AuxDigitZeroMeansCaOnlyWithItsEnableBit) {
    MemoryConfigurationView view;
    int modeCode = 0;
    ASSERT_EQ(DecodePayload(PayloadKind::MUX, "00003", view, modeCode), DecodeResult::Legal);
    EXPECT_EQ(view.Selected(S::Aux1Source), 0);
    EXPECT_EQ(view.Selected(S::Aux2Source), 0);
    ASSERT_EQ(DecodePayload(PayloadKind::MUX, "0000C", view, modeCode), DecodeResult::Legal);
    EXPECT_EQ(view.Selected(S::Aux1Source), AuxSourceOff);
    EXPECT_EQ(view.Selected(S::Aux2Source), AuxSourceOff);
}

TEST(PayloadCodec, LowerCaseDigitsDecodeAndEncodingWritesUpperCase) {
    MemoryConfigurationView view;
    int modeCode = 0;
    ASSERT_EQ(DecodePayload(PayloadKind::SEN, "0a0b0c0d0e0f", view, modeCode), DecodeResult::Legal);
    ASSERT_EQ(DecodePayload(PayloadKind::ABV, "0aff", view, modeCode), DecodeResult::Legal);
    ASSERT_EQ(DecodePayload(PayloadKind::TDF, "fE1a", view, modeCode), DecodeResult::Legal);
    const DeviceConfiguration& c = view.Configuration();
    EXPECT_EQ(c.Tooth1, 10);
    EXPECT_EQ(c.Gap1, 11);
    EXPECT_EQ(c.Gap3, 15);
    EXPECT_EQ(c.Beta, 255);
    EXPECT_EQ(c.Multiplier, 254);
    EXPECT_EQ(EncodePayload(PayloadKind::SEN, view), "0A0B0C0D0E0F");
    EXPECT_EQ(EncodePayload(PayloadKind::ABV, view), "0AFF");
    EXPECT_EQ(EncodePayload(PayloadKind::TDF, view), "FE1A");
}

// Records what decoding hands over, before any entry rule could change it.
class RecordingView : public MemoryConfigurationView {
public:
    void StoreNumber(NumberField field, std::int32_t value) override {
        stored.push_back({field, value});
        MemoryConfigurationView::StoreNumber(field, value);
    }
    std::vector<std::pair<NumberField, std::int32_t>> stored;
};

TEST(PayloadCodec, CountsBeyondTheEntryRangeAreStoredAndSentUnchanged) {
    RecordingView view;
    int modeCode = 0;
    ASSERT_EQ(DecodePayload(PayloadKind::CDM, "FFFF", view, modeCode), DecodeResult::Legal);
    ASSERT_EQ(view.stored.size(), 1u);
    EXPECT_EQ(view.stored[0].first, NumberField::CountsPerRev);
    EXPECT_EQ(view.stored[0].second, 65535);
    EXPECT_EQ(EncodePayload(PayloadKind::CDM, view), "FFFF");
}

TEST(PayloadCodec, IllegalSenGroupKeepsOnlyTheGroupsBeforeIt) {
    struct Case {
        std::string payload;
        std::vector<std::pair<NumberField, std::int32_t>> stored;
    };
    using F = NumberField;
    const std::vector<Case> cases = {
        {"0G0000000000", {}},
        {"0100G0000000", {{F::Tooth1, 1}, {F::Gap1, 0}}},
        {"0203040506 7",
         {{F::Tooth1, 2}, {F::Gap1, 3}, {F::Tooth2, 4}, {F::Gap2, 5}, {F::Tooth3, 6}}},
        {"+10000000000", {}},
    };
    for (const Case& c : cases) {
        RecordingView view;
        int modeCode = 0;
        EXPECT_EQ(DecodePayload(PayloadKind::SEN, c.payload, view, modeCode), DecodeResult::Illegal)
            << c.payload;
        EXPECT_EQ(view.stored, c.stored) << c.payload;
    }
}

TEST(PayloadCodec, IllegalModAppliesNothingButKeepsALegalFirstDigit) {
    struct Case {
        std::string payload;
        int modeCode;
    };
    for (const Case& c : {Case{"3111G", 3}, Case{"4G111", 4}, Case{"G1111", 9}, Case{" 1111", 9}}) {
        MemoryConfigurationView view;
        int modeCode = 9;
        EXPECT_EQ(DecodePayload(PayloadKind::MOD, c.payload, view, modeCode),
                  DecodeResult::Illegal);
        EXPECT_EQ(modeCode, c.modeCode) << c.payload;
        EXPECT_EQ(view.Snapshot(), StartSnapshot()) << c.payload;
    }
}

TEST(PayloadCodec, IllegalMuxAppliesNothing) {
    MemoryConfigurationView view;
    int modeCode = 3;
    EXPECT_EQ(DecodePayload(PayloadKind::MUX, "1288g", view, modeCode), DecodeResult::Illegal);
    EXPECT_EQ(DecodePayload(PayloadKind::MUX, "12-8F", view, modeCode), DecodeResult::Illegal);
    EXPECT_EQ(view.Snapshot(), StartSnapshot());
}

TEST(PayloadCodec, MuxChoosesTheSensorTypeFromTheModeCode) {
    const std::vector<std::pair<int, int>> cases = {
        {0, sensor_type::InCarWithGaps},    {1, sensor_type::PulseTrigger},
        {2, sensor_type::PulseTrigger},     {3, sensor_type::MotionEncoder},
        {4, sensor_type::InCarDoubleTooth}, {5, sensor_type::MotionEncoder},
        {15, sensor_type::MotionEncoder}};
    for (const auto& [code, sensorType] : cases) {
        MemoryConfigurationView view(With({{S::SensorType, sensor_type::MotionEncoder}}));
        int modeCode = code;
        ASSERT_EQ(DecodePayload(PayloadKind::MUX, "00884", view, modeCode), DecodeResult::Legal);
        EXPECT_EQ(view.Selected(S::SensorType), sensorType) << "mode code " << code;
    }
}

TEST(PayloadCodec, ModPairsTheOptionsThatShareADigit) {
    MemoryConfigurationView view(With({{S::CdmInput, 0}}));
    int modeCode = 0;
    ASSERT_EQ(DecodePayload(PayloadKind::MOD, "31132", view, modeCode), DecodeResult::Legal);
    EXPECT_EQ(modeCode, 3);
    EXPECT_EQ(view.Selected(S::CdmInput), 1);
    EXPECT_EQ(view.Selected(S::EdgeTrigger), 1);
    EXPECT_EQ(view.Selected(S::CaInput), 1);
    EXPECT_EQ(view.Selected(S::EdgeAB), 1);
    EXPECT_EQ(view.Selected(S::EdgeDetection), 1);
    EXPECT_EQ(view.Selected(S::InputFilter), 3);
    EXPECT_EQ(view.Selected(S::EncoderMode), 2);
    EXPECT_EQ(view.Selected(S::TriggerLevel), 1);
    EXPECT_EQ(view.Selected(S::SensorType), sensor_type::Off);
}

TEST(PayloadCodec, ModWithAnInCarCodeLeavesTheCdmInput) {
    for (const int cdmInput : {0, 1}) {
        MemoryConfigurationView view(With({{S::CdmInput, cdmInput}}));
        int modeCode = 0;
        ASSERT_EQ(DecodePayload(PayloadKind::MOD, "41101", view, modeCode), DecodeResult::Legal);
        EXPECT_EQ(modeCode, 4);
        EXPECT_EQ(view.Selected(S::CdmInput), cdmInput);
    }
}

TEST(PayloadCodec, PayloadOfTheWrongLengthIsRejectedBeforeAnythingIsApplied) {
    MemoryConfigurationView view;
    int modeCode = 0;
    EXPECT_THROW(DecodePayload(PayloadKind::SEN, "0202", view, modeCode), std::invalid_argument);
    EXPECT_THROW(DecodePayload(PayloadKind::MUX, "008800", view, modeCode), std::invalid_argument);
    EXPECT_EQ(view.Snapshot(), StartSnapshot());
}

} // namespace
} // namespace kronax
