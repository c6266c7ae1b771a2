#include "protocol/OptionLists.h"

#include <array>

namespace kronax {
namespace {

using namespace std::string_view_literals;

constexpr std::array SensorTypes = {"Off"sv, "Pulse + Trigger"sv, "Motion Encoder"sv,
                                    "In Car with Gaps"sv, "In Car, Double Tooth"sv};
constexpr std::array CdmInputs = {"CDMA"sv, "CDMB"sv};
constexpr std::array EncoderModes = {"x1"sv, "x2"sv, "x4"sv};
constexpr std::array CaInputs = {"CA"sv, "CDMA"sv};
constexpr std::array Edges = {"rising"sv, "falling"sv};
constexpr std::array EdgesAB = {"rising"sv, "falling"sv, "both"sv};
constexpr std::array TriggerLevels = {"2 V"sv, "0.4 V"sv};
constexpr std::array InputFilters = {"Bypass"sv,  "100 ns"sv,  "200 ns"sv,  "500 ns"sv,
                                     "1 \xB5s"sv, "2 \xB5s"sv, "4 \xB5s"sv, "5 \xB5s"sv};
constexpr std::array AuxSources = {"CA"sv,         "CA_E"sv,       "CA_Trg"sv,      "CA_Hole"sv,
                                   "SR_IN"sv,      "CDM_TRG"sv,    "Out_Ext_TRG"sv, "Out_Ext_CLK"sv,
                                   "In_Ext_CLK"sv, "In_Ext_TRG"sv, "In_Ext_CLK1"sv, "In_Ext_CLK2"sv,
                                   "In_DIO12"sv,   "In_DIO13"sv,   "In_DIO14"sv,    "In_DIO15"sv,
                                   "== Off =="sv};
constexpr std::array DiSources = {"AUX 1"sv, "AUX 2"sv, "Res_In"sv, "SR_IN"sv,    "CA"sv,
                                  "CA_E"sv,  "CDMA"sv,  "CDMB"sv,   "== Off =="sv};

} // namespace

std::span<const std::string_view> OptionItems(Selection selection) {
    switch (selection) {
    case Selection::SensorType:
        return SensorTypes;
    case Selection::CdmInput:
        return CdmInputs;
    case Selection::EncoderMode:
        return EncoderModes;
    case Selection::CaInput:
        return CaInputs;
    case Selection::EdgeTrigger:
    case Selection::EdgeDetection:
        return Edges;
    case Selection::EdgeAB:
        return EdgesAB;
    case Selection::TriggerLevel:
        return TriggerLevels;
    case Selection::InputFilter:
        return InputFilters;
    case Selection::Aux1Source:
    case Selection::Aux2Source:
        return AuxSources;
    case Selection::Di6Source:
    case Selection::Di7Source:
        return DiSources;
    }
    return {};
}

int StartPosition(Selection selection) {
    switch (selection) {
    case Selection::Aux1Source:
    case Selection::Aux2Source:
        return AuxSourceOff;
    case Selection::Di6Source:
    case Selection::Di7Source:
        return DiSourceOff;
    default:
        return 0;
    }
}

} // namespace kronax
