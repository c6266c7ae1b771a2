#include "form/BusyChannel.h"

#include "form/FormView.h"

namespace kronax {

BusyChannel::~BusyChannel() {
    if (busy_)
        view_.SetBusy(false);
}

bool BusyChannel::TransactCommand(const std::string& command, std::string& reply,
                                  std::int32_t timeout) {
    BeginSequence();
    lastUnanswered_ = false;
    lastUnanswered_ = !channel_.TransactCommand(command, reply, timeout);
    return !lastUnanswered_;
}

void BusyChannel::BeginSequence() {
    if (busy_)
        return;
    view_.SetBusy(true);
    busy_ = true;
}

void BusyChannel::EndSequence(bool discardInput) {
    if (!busy_)
        return;
    busy_ = false;
    view_.SetBusy(false);
    if (discardInput)
        view_.DiscardInput();
}

} // namespace kronax
