#pragma once

#include <chrono>

namespace kronax::test {

// Bounds waits that only a fault would make long; never a measure of speed.
inline constexpr auto HangLimit = std::chrono::seconds(10);

} // namespace kronax::test
