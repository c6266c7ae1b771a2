#pragma once

#include "exchange/TrafficLog.h"

#include <QPlainTextEdit>

namespace kronax {

// memDebug: the traffic log as the operator sees it, a plain text that only ever grows. UI thread.
class TrafficLogView : public QPlainTextEdit, public ITrafficLog {
    Q_OBJECT
public:
    explicit TrafficLogView(QWidget* parent);

    // Appends line (8-bit text) as the newest line, scrolls it into view and repaints at once, so
    // the line is on the screen even while the next exchange blocks the window.
    void AppendLine(const std::string& line) override;
};

} // namespace kronax
