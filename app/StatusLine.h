#pragma once

#include "app/OutcomeSummary.h"

#include <QString>

class QLabel;
class QStatusBar;

namespace kronax {

// The status bar below the window's client area: on the left the outcome of the last operation
// (red when it failed; hovering shows the whole report), at the right edge the connection. UI
// thread only.
class StatusLine {
public:
    // Fills bar with its two labels, lblOutcome and lblPort.
    explicit StatusLine(QStatusBar* bar);

    // Shows outcome; details (a report with CR LF line ends, or an error text) is its tooltip.
    void ShowOutcome(const Outcome& outcome, const QString& details = {});

    // Shows text at the right edge, details as its tooltip.
    void ShowConnection(const QString& text, const QString& details = {});

private:
    QLabel* lblOutcome_;
    QLabel* lblPort_;
};

} // namespace kronax
