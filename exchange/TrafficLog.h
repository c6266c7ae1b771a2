#pragma once

#include <string>

namespace kronax {

// Where the command exchanges are recorded, one line each; the window's memDebug implements it.
class ITrafficLog {
public:
    virtual ~ITrafficLog() = default;

    // Appends line as the newest line of the log and keeps it in view. The line holds no CR; an
    // LF in it is kept. Called on the thread that owns the port only.
    virtual void AppendLine(const std::string& line) = 0;
};

} // namespace kronax
