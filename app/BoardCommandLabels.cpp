#include "BoardCommandLabels.h"

#include "BoardReplies.h"

#include <QLabel>

namespace kronax {
namespace {

QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

BoardCommandLabels::BoardCommandLabels(QLabel* lblStart, QLabel* lblStatus,
                                       const ITickSource& ticks)
    : lblStart_(lblStart), lblStatus_(lblStatus), ticks_(ticks) {}

void BoardCommandLabels::ClearStart() {
    lblStart_->clear();
}

void BoardCommandLabels::ShowStart(const std::string& text) {
    lblStart_->setText(Latin1(text));
    startMessageTime_ = ticks_.TickCount();
}

void BoardCommandLabels::ShowStatus(const std::string& text) {
    lblStatus_->setText(Latin1(text));
    statusMessageTime_ = ticks_.TickCount();
}

void BoardCommandLabels::ExpireMessages() {
    if (MessageExpired(ticks_.TickCount(), startMessageTime_))
        lblStart_->setText(StartIdleText);
    if (MessageExpired(ticks_.TickCount(), statusMessageTime_))
        lblStatus_->setText(StatusIdleText);
}

} // namespace kronax
