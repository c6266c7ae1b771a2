#include "cli/GuardedChannel.h"

#include "cli/Signals.h"

namespace kronax::cli {

bool GuardedChannel::TransactCommand(const std::string& command, std::string& reply,
                                     std::int32_t timeout) {
    reply.clear();
    if (!Stopped())
        interrupted_ = StopSignal();
    if (Stopped())
        return false;
    if (onSend_)
        onSend_(command);
    try {
        const bool answered = board_.TransactCommand(command, reply, timeout);
        ++completed_;
        return answered;
    } catch (const ESerialPort& error) {
        failure_ = error;
        reply.clear();
        return false;
    }
}

} // namespace kronax::cli
