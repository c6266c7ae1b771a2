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
    if (!busy_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        busy_ = true;
    }
    return channel_.TransactCommand(command, reply, timeout);
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
