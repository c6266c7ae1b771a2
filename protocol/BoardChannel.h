#pragma once

#include "exchange/CommandTransaction.h"
#include "protocol/CommandChannel.h"

namespace kronax {

// The board's command channel over a serial port: each exchange is one command transaction.
class BoardChannel : public ICommandChannel {
public:
    // port, ticks and log must outlive the channel.
    BoardChannel(ICommandPort& port, const ITickSource& ticks, ITrafficLog& log)
        : transaction_(port, ticks, log) {}

    bool TransactCommand(const std::string& command, std::string& reply,
                         std::int32_t timeout) override {
        return transaction_.TransactCommand(command, reply, timeout);
    }

    // Between sequences of commands: see CommandTransaction::Settle.
    void Settle() { transaction_.Settle(); }

private:
    CommandTransaction transaction_;
};

} // namespace kronax
