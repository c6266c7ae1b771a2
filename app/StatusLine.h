#pragma once

#include "app/OutcomeSummary.h"

#include <QString>
#include <QStringList>

class QFontMetrics;

class QLabel;
class QStatusBar;

namespace kronax {

class HeadlineArea;
class HeadlineLabel;

// The status bar below the window's client area: on the left the outcome of the last operation
// (red when it failed; hovering shows the whole report), at the right edge the connection. An
// outcome too long for the bar is cut at a word, and then its whole text leads the tooltip. UI
// thread only.
class StatusLine {
public:
    // Fills bar with its two labels, lblOutcome and lblPort.
    explicit StatusLine(QStatusBar* bar);

    // Shows outcome; details (a report with CR LF line ends, or an error text) is its tooltip.
    void ShowOutcome(const Outcome& outcome, const QString& details = {});

    // Says what is about to happen (in black) until the next outcome, or until EndProgress.
    void ShowProgress(const QString& text);

    // Puts back the outcome that ShowProgress covered, unless an outcome was shown since.
    void EndProgress();

    // Shows which settings the window holds unwritten ("Not written: Multiplier, Divider") left of
    // the connection, nothing when names is empty.
    void ShowUnwritten(const QStringList& names);
    // Adds to the outcome shown, in red, that no record of the operation was kept and why.
    void MarkNotRecorded(const QString& why);

    // Shows text at the right edge, details as its tooltip.
    void ShowConnection(const QString& text, const QString& details = {});

private:
    void Show(const Outcome& outcome, const QString& details);

    HeadlineArea* outcomeArea_;
    HeadlineLabel* lblOutcome_;
    QLabel* lblUnwritten_;
    QLabel* lblPort_;
    Outcome shown_;
    QString shownDetails_;
    bool inProgress_ = false;
};

// text cut after its last whole word that fits width together with an ellipsis, or text itself
// when it fits; a first word that does not fit alone is cut where it must be. Pure.
QString ElideAtWord(const QString& text, const QFontMetrics& metrics, int width);

} // namespace kronax
