#pragma once

#include <cstdint>
#include <string>

namespace kronax {

// One blocking command exchange with the board: sends command (which already ends with CR),
// collects the answer until it holds a CR or timeout milliseconds have passed, and logs it.
// Returns true when the reply contains a CR. Called on the thread that owns the port only.
class ICommandChannel {
public:
    virtual ~ICommandChannel() = default;
    virtual bool TransactCommand(const std::string& command, std::string& reply,
                                 std::int32_t timeout) = 0;
};

} // namespace kronax
