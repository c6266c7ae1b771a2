#pragma once

#include <string>

namespace kronax::cli {

// The progress line of one port in words ("reading 4 of 6", "writing TDF 4 of 6", "verifying 2
// of 6") from the commands sent on it, one after the other. One per port session.
class ProgressWords {
public:
    // The words for command, the next one sent (with or without its CR).
    std::string Next(const std::string& command);

private:
    bool wrote_ = false; // a configuration write went out: later queries read it back
};

} // namespace kronax::cli
