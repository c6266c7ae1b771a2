#include "exchange/SteadyTickSource.h"

#include <chrono>

namespace kronax {

std::uint32_t SteadyTickSource::TickCount() const {
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
    return static_cast<std::uint32_t>(ms);
}

} // namespace kronax
