#include "app/BusyChannel.h"

#include "app/InputDiscard.h"

#include <QApplication>

namespace kronax {

BusyChannel::~BusyChannel() {
    if (busy_)
        QApplication::restoreOverrideCursor();
}

bool BusyChannel::TransactCommand(const std::string& command, std::string& reply,
                                  std::int32_t timeout) {
    BeginSequence();
    return channel_.TransactCommand(command, reply, timeout);
}

void BusyChannel::BeginSequence() {
    if (busy_)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    busy_ = true;
}

void BusyChannel::EndSequence(bool discardInput) {
    if (!busy_)
        return;
    busy_ = false;
    QApplication::restoreOverrideCursor();
    if (discardInput)
        DiscardQueuedInput();
}

} // namespace kronax
