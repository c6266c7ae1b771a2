#pragma once

#include "exchange/TickSource.h"

#include <memory>
#include <string>

namespace kronax {

// What the form takes from outside: where its settings file lives and which tick counts time
// for command time-outs and label expiry. Each front end finds its own settings file; tests give
// their own.
struct FormEnvironment {
    std::string settingsFileName;
    std::shared_ptr<const ITickSource> ticks;
};

} // namespace kronax
