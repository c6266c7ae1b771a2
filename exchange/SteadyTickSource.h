#pragma once

#include "exchange/TickSource.h"

namespace kronax {

// The real tick: milliseconds of the steady clock, cut to 32 bits.
class SteadyTickSource : public ITickSource {
public:
    std::uint32_t TickCount() const override;
};

} // namespace kronax
