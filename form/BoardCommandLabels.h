#pragma once

#include "exchange/TickSource.h"

#include <cstdint>
#include <string>

namespace kronax {

class IFormView;

// The labels beside the start and status buttons (lblStart, lblStatus): each shows its command's
// outcome, stamped with the tick at which it was shown, until a timer tick finds it older than
// its lifetime. UI thread only.
class BoardCommandLabels {
public:
    // ticks must outlive this object.
    BoardCommandLabels(IFormView& view, const ITickSource& ticks) : view_(view), ticks_(ticks) {}

    // Empties lblStart while a start command runs.
    void ClearStart();

    // Shows the start command's outcome (8-bit text) and stamps StartMessageTime.
    void ShowStart(const std::string& text);

    // Shows the status request's outcome (8-bit text) and stamps StatusMessageTime.
    void ShowStatus(const std::string& text);

    // Returns each label whose text has expired to its idle text: lblStart empty, lblStatus
    // "Status:". Each label takes its own reading of the tick.
    void ExpireMessages();

    std::uint32_t StartMessageTime() const { return startMessageTime_; }
    std::uint32_t StatusMessageTime() const { return statusMessageTime_; }

private:
    IFormView& view_;
    const ITickSource& ticks_;
    std::uint32_t startMessageTime_ = 0;
    std::uint32_t statusMessageTime_ = 0;
};

} // namespace kronax
