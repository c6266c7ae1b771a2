#pragma once

#include "exchange/TickSource.h"

#include <memory>
#include <string>

namespace kronax {

// What the main window takes from outside: where its settings file lives and which tick counts
// time for command time-outs and label expiry. Tests give their own; the program uses Default.
struct FormEnvironment {
    std::string settingsFileName;
    std::shared_ptr<const ITickSource> ticks;

    // The settings file beside the program, or in the user's settings folder when the program's
    // folder is not writable, and the steady tick. Needs the application object.
    static FormEnvironment Default();
};

} // namespace kronax
