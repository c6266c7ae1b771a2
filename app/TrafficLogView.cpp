#include "app/TrafficLogView.h"

#include "app/SystemText.h"

#include <QScrollBar>

namespace kronax {

TrafficLogView::TrafficLogView(QWidget* parent) : QPlainTextEdit(parent) {}

void TrafficLogView::AppendLine(const std::string& line) {
    appendPlainText(FromSystemText(line));
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->repaint();
}

} // namespace kronax
