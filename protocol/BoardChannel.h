#pragma once

#include "exchange/CommandTransaction.h"
#include "protocol/CommandChannel.h"

namespace kronax {

// The board's command channel over a serial port: each exchange is one command transaction.
class TBoardChannel : public ICommandChannel {
public:
    // port, ticks and log must outlive the channel.
    TBoardChannel(ICommandPort& port, const ITickSource& ticks, ITrafficLog& log)
        : transaction_(port, ticks, log) {}

    bool TransactCommand(const std::string& command, std::string& reply,
                         std::int32_t timeout) override {
        return transaction_.TransactCommand(command, reply, timeout);
    }

private:
    TCommandTransaction transaction_;
};

} // namespace kronax
