#pragma once

namespace kronax::bench {

// Processor time of this process so far, user and system, in seconds.
double ProcessCpuSeconds();

} // namespace kronax::bench
