#pragma once

#include "link/CommandPort.h"
#include "link/TickSource.h"
#include "link/TrafficLog.h"

#include <cstdint>
#include <string>

namespace kronax {

// The traffic-log line of one exchange: command, " | ", reply, with every CR shown as a
// backslash followed by "r". No other character is changed.
std::string TrafficLogLine(const std::string& command, const std::string& reply);

// The blocking command exchange over the window's one port. Keeps no state between calls.
class TCommandTransaction {
public:
    // port, ticks and log must outlive the transaction object.
    TCommandTransaction(ICommandPort& port, const ITickSource& ticks, ITrafficLog& log);

    // Clears the port's queues, sends command unchanged and collects what arrives until it holds
    // a CR or more than timeout ms have passed since the write ended (at least one read is made;
    // a negative timeout ends the wait at the first read that brings no CR, a zero one at the
    // first such read after the tick count has moved on). reply gets
    // everything collected, characters after the CR included; it is empty when the port is
    // closed. Returns true when reply holds a CR. Logs one line unless the port is closed.
    // Raises whatever the port raises (ESerialPort); nothing is logged then. UI thread only.
    bool TransactCommand(const std::string& command, std::string& reply, std::int32_t timeout);

private:
    bool CollectReply(std::string& reply, std::int32_t timeout);

    ICommandPort& port_;
    const ITickSource& ticks_;
    ITrafficLog& log_;
};

} // namespace kronax
