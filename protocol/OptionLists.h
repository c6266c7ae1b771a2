#pragma once

#include <span>
#include <string_view>

namespace kronax {

// The selections of the sensor-settings panel. Each one is the position (from 0) of the selected
// item of its option list; the window's controls hold them.
enum class Selection {
    SensorType,
    CdmInput,
    EncoderMode,
    CaInput,
    EdgeTrigger,
    EdgeDetection,
    EdgeAB,
    TriggerLevel,
    InputFilter,
    Aux1Source,
    Aux2Source,
    Di6Source,
    Di7Source,
};

inline constexpr int SelectionCount = static_cast<int>(Selection::Di7Source) + 1;

// Positions with a meaning of their own elsewhere in the program.
namespace sensor_type {
inline constexpr int Off = 0;
inline constexpr int PulseTrigger = 1;
inline constexpr int MotionEncoder = 2;
inline constexpr int InCarWithGaps = 3;
inline constexpr int InCarDoubleTooth = 4;
} // namespace sensor_type

inline constexpr int CaInputCdma = 1;
inline constexpr int EdgeABBoth = 2;
inline constexpr int AuxSourceOff = 16;
inline constexpr int DiSourceOff = 8;

// The item texts of a selection's list, position 0 first. Texts are in the system's 8-bit code
// page: the micro sign of the filter items is the byte 0xB5.
std::span<const std::string_view> OptionItems(Selection selection);

// The position start-up selects: the last item ("== Off ==") for the AUX and DI lists, else 0.
int StartPosition(Selection selection);

} // namespace kronax
