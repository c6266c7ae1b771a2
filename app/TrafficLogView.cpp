#include "TrafficLogView.h"

#include <QScrollBar>

namespace kronax {

TrafficLogView::TrafficLogView(QWidget* parent) : QPlainTextEdit(parent) {}

void TrafficLogView::AppendLine(const std::string& line) {
    appendPlainText(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->repaint();
}

} // namespace kronax
