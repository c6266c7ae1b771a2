#include "form/BoardCommandLabels.h"

#include "form/DisplayText.h"
#include "form/FormView.h"
#include "protocol/BoardReplies.h"

namespace kronax {

void BoardCommandLabels::ClearStart() {
    view_.SetText(ControlId::lblStart, "");
}

void BoardCommandLabels::ShowStart(const std::string& text) {
    view_.SetText(ControlId::lblStart, BoardText(text));
    startMessageTime_ = ticks_.TickCount();
}

void BoardCommandLabels::ShowStatus(const std::string& text) {
    view_.SetText(ControlId::lblStatus, BoardText(text));
    statusMessageTime_ = ticks_.TickCount();
}

void BoardCommandLabels::ExpireMessages() {
    if (MessageExpired(ticks_.TickCount(), startMessageTime_))
        view_.SetText(ControlId::lblStart, StartIdleText);
    if (MessageExpired(ticks_.TickCount(), statusMessageTime_))
        view_.SetText(ControlId::lblStatus, StatusIdleText);
}

} // namespace kronax
