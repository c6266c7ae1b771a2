#pragma once

#include <cstdint>
#include <initializer_list>

namespace kronax {

enum class TBaudRate {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};

enum class TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum class TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum class TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum class TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum class TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum class TSyncMethod { smThreadSync, smWindowSync, smNone };

enum class TSerialEvent {
    evRxChar,
    evTxEmpty,
    evRxFlag,
    evRing,
    evBreak,
    evCTS,
    evDSR,
    evError,
    evRLSD,
    evRx80Full
};

enum class TSerialError {
    ceFrame,
    ceRxParity,
    ceOverrun,
    ceBreak,
    ceIO,
    ceMode,
    ceRxOver,
    ceTxFull
};

// A set of enumeration values, one bit per value in declared order.
template <typename E> class EnumSet {
public:
    constexpr EnumSet() = default;
    constexpr EnumSet(std::initializer_list<E> values) {
        for (E value : values)
            Include(value);
    }

    constexpr bool Contains(E value) const { return (bits_ & Bit(value)) != 0; }
    constexpr void Include(E value) { bits_ |= Bit(value); }
    constexpr void Exclude(E value) { bits_ &= ~Bit(value); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool operator==(const EnumSet&) const = default;

private:
    static constexpr std::uint32_t Bit(E value) { return 1u << static_cast<unsigned>(value); }
    std::uint32_t bits_ = 0;
};

using TSerialEvents = EnumSet<TSerialEvent>;
using TSerialErrors = EnumSet<TSerialError>;

// Every line event, the port's default event set.
TSerialEvents AllSerialEvents();

// The platform event mask (EV_* bits) waited for when the given events are wanted.
std::uint32_t EventMaskOf(TSerialEvents events);

// The events a reported platform event mask stands for; bits that name no event are dropped.
TSerialEvents EventsOfMask(std::uint32_t mask);

// The line errors in the platform's error flags (CE_* bits). A parity error counts only when
// checkParity is true.
TSerialErrors ErrorsOfFlags(std::uint32_t flags, bool checkParity);

} // namespace kronax
