#include "app/BoardCommandLabels.h"

#include "app/SystemText.h"
#include "protocol/BoardReplies.h"

#include <QLabel>

namespace kronax {
BoardCommandLabels::BoardCommandLabels(QLabel* lblStart, QLabel* lblStatus,
                                       const ITickSource& ticks)
    : lblStart_(lblStart), lblStatus_(lblStatus), ticks_(ticks) {}

void BoardCommandLabels::ClearStart() {
    lblStart_->clear();
}

void BoardCommandLabels::ShowStart(const std::string& text) {
    lblStart_->setText(FromSystemText(text));
    startMessageTime_ = ticks_.TickCount();
}

void BoardCommandLabels::ShowStatus(const std::string& text) {
    lblStatus_->setText(FromSystemText(text));
    statusMessageTime_ = ticks_.TickCount();
}

void BoardCommandLabels::ExpireMessages() {
    if (MessageExpired(ticks_.TickCount(), startMessageTime_))
        lblStart_->setText(StartIdleText);
    if (MessageExpired(ticks_.TickCount(), statusMessageTime_))
        lblStatus_->setText(StatusIdleText);
}

} // namespace kronax
