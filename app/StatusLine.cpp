#include "app/StatusLine.h"

#include <QLabel>
#include <QStatusBar>
#include <QTextDocument>

namespace kronax {
namespace {

QLabel* CreateLabel(QStatusBar* bar, const char* name) {
    auto* label = new QLabel(bar);
    label->setObjectName(name);
    // Reports quote board replies and file names: never markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A report with one line per report line. A CR or LF of a quoted board reply is shown as the
// traffic log shows it.
QString ToolTip(const QString& text) {
    QStringList lines = text.trimmed().split("\r\n");
    for (QString& line : lines)
        line.replace('\r', "\\r").replace('\n', "\\n");
    const QString plain = lines.join('\n');
    // A tooltip that looks like markup is taken as markup: then it is escaped (and may wrap).
    if (Qt::mightBeRichText(plain))
        return Qt::convertFromPlainText(plain, Qt::WhiteSpacePre);
    return plain;
}

} // namespace

StatusLine::StatusLine(QStatusBar* bar)
    : lblOutcome_(CreateLabel(bar, "lblOutcome")), lblPort_(CreateLabel(bar, "lblPort")) {
    bar->setSizeGripEnabled(false);
    // A long outcome is cut at the connection rather than widening the fixed-size window.
    lblOutcome_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(lblOutcome_, 1);
    bar->addPermanentWidget(lblPort_);
}

void StatusLine::ShowOutcome(const Outcome& outcome, const QString& details) {
    lblOutcome_->setText(outcome.text);
    QPalette colours = lblOutcome_->parentWidget()->palette();
    if (outcome.failed)
        colours.setColor(QPalette::WindowText, Qt::red);
    lblOutcome_->setPalette(colours);
    lblOutcome_->setToolTip(ToolTip(details.isEmpty() ? outcome.text : details));
}

void StatusLine::ShowConnection(const QString& text, const QString& details) {
    lblPort_->setText(text);
    lblPort_->setToolTip(ToolTip(details.isEmpty() ? text : details));
}

} // namespace kronax
