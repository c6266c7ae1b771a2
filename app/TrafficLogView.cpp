#include "app/TrafficLogView.h"

#include "app/SystemText.h"

#include <QScrollBar>

namespace kronax {

TrafficLogView::TrafficLogView(QWidget* parent) : QPlainTextEdit(parent) {}

void TrafficLogView::AppendLine(const std::string& line) {
    if (!isVisible()) {
        if (waiting_.isEmpty())
            QMetaObject::invokeMethod(this, &TrafficLogView::AppendWaiting, Qt::QueuedConnection);
        waiting_.push_back(FromSystemText(line));
        return;
    }
    AppendWaiting();
    appendPlainText(FromSystemText(line));
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->repaint();
}

void TrafficLogView::showEvent(QShowEvent* event) {
    AppendWaiting();
    QPlainTextEdit::showEvent(event);
}

// One edit for all of them: the log then lays out only the lines it paints.
void TrafficLogView::AppendWaiting() {
    if (waiting_.isEmpty())
        return;
    appendPlainText(waiting_.join('\n'));
    waiting_.clear();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

} // namespace kronax
