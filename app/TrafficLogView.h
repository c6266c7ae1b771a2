#pragma once

#include "exchange/TrafficLog.h"

#include <QPlainTextEdit>
#include <QStringList>

namespace kronax {

// memDebug: the traffic log as the operator sees it, a plain text that only ever grows. UI thread.
class TrafficLogView : public QPlainTextEdit, public ITrafficLog {
    Q_OBJECT
public:
    explicit TrafficLogView(QWidget* parent);

    // Shown: appends line (8-bit text) as the newest line, scrolls it into view and repaints at
    // once, so the line is on the screen even while the next exchange blocks the window.
    // Hidden: the line waits, and the lines waiting go in together when the event loop next runs
    // or the log shows. Laying out each new line of a hidden log cost more than its exchange.
    void AppendLine(const std::string& line) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void AppendWaiting();

    QStringList waiting_;
};

} // namespace kronax
