#pragma once

#include "form/FormView.h"

#include <QString>

class QFontMetrics;
class QLabel;
class QStatusBar;

namespace kronax {

class HeadlineArea;
class HeadlineLabel;

// The status bar below the window's client area: on the left the outcome of the last operation
// (red when it failed; hovering shows the whole report), then the records waiting for the
// records server, the unwritten settings and, at the right edge, the connection. An outcome too
// long for the bar is cut at a word, and then its whole text leads the tooltip. UI thread only.
class StatusLine {
public:
    // Fills bar with its labels: lblOutcome, lblRecordsQueue, lblUnwritten and lblPort.
    explicit StatusLine(QStatusBar* bar);

    void Show(StatusPart part, const StatusText& status);

    // The outcome's whole text.
    QString OutcomeText() const;

private:
    static void ShowAside(QLabel* label, const QString& shown, const QString& details,
                          const QString& text);

    HeadlineArea* outcomeArea_;
    HeadlineLabel* lblOutcome_;
    QLabel* lblRecordsQueue_;
    QLabel* lblUnwritten_;
    QLabel* lblPort_;
};

// text cut after its last whole word that fits width together with an ellipsis, or text itself
// when it fits; a first word that does not fit alone is cut where it must be. Pure.
QString ElideAtWord(const QString& text, const QFontMetrics& metrics, int width);

} // namespace kronax
