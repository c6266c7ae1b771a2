#include "link/SerialPlatform.h"
#include "link/SerialTypes.h"

#include <array>
#include <utility>

namespace kronax {
namespace {

constexpr std::array<std::pair<TSerialEvent, std::uint32_t>, 10> EventBits{{
    {TSerialEvent::evRxChar, EvRxChar},
    {TSerialEvent::evTxEmpty, EvTxEmpty},
    {TSerialEvent::evRxFlag, EvRxFlag},
    {TSerialEvent::evRing, EvRing},
    {TSerialEvent::evBreak, EvBreak},
    {TSerialEvent::evCTS, EvCts},
    {TSerialEvent::evDSR, EvDsr},
    {TSerialEvent::evError, EvErr},
    {TSerialEvent::evRLSD, EvRlsd},
    {TSerialEvent::evRx80Full, EvRx80Full},
}};

constexpr std::array<std::pair<TSerialError, std::uint32_t>, 8> ErrorBits{{
    {TSerialError::ceFrame, CeFrame},
    {TSerialError::ceRxParity, CeRxParity},
    {TSerialError::ceOverrun, CeOverrun},
    {TSerialError::ceBreak, CeBreak},
    {TSerialError::ceIO, CeIoe},
    {TSerialError::ceMode, CeMode},
    {TSerialError::ceRxOver, CeRxOver},
    {TSerialError::ceTxFull, CeTxFull},
}};

} // namespace

TSerialEvents AllSerialEvents() {
    TSerialEvents all;
    for (auto [event, bit] : EventBits)
        all.Include(event);
    return all;
}

std::uint32_t EventMaskOf(TSerialEvents events) {
    std::uint32_t mask = 0;
    for (auto [event, bit] : EventBits)
        if (events.Contains(event))
            mask |= bit;
    return mask;
}

TSerialEvents EventsOfMask(std::uint32_t mask) {
    TSerialEvents events;
    for (auto [event, bit] : EventBits)
        if (mask & bit)
            events.Include(event);
    return events;
}

TSerialErrors ErrorsOfFlags(std::uint32_t flags, bool checkParity) {
    TSerialErrors errors;
    for (auto [error, bit] : ErrorBits)
        if ((flags & bit) && (error != TSerialError::ceRxParity || checkParity))
            errors.Include(error);
    return errors;
}

} // namespace kronax
