#include "app/StatusLine.h"

#include "app/WindowLook.h"
#include "exchange/VisibleLineEnds.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHash>
#include <QLabel>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QTextDocument>

namespace kronax {
namespace {

// The bar's labels keep this distance from the window's edges.
constexpr int EdgeMargin = 6;
// The widest the list of unwritten settings may grow at the right of the status bar.
constexpr int UnwrittenWidth = 330;
const QString Ellipsis = QString::fromUtf8("\u2026");

// A report with one line per report line. A CR or LF of a quoted board reply is shown as the
// traffic log shows it.
QString ToolTip(const QString& text) {
    QStringList lines = text.trimmed().split("\r\n");
    for (QString& line : lines)
        line = QString::fromStdString(WithVisibleLineEnds(line.toStdString()));
    const QString plain = lines.join('\n');
    // A tooltip that looks like markup is taken as markup: then it is escaped (and may wrap).
    if (Qt::mightBeRichText(plain))
        return Qt::convertFromPlainText(plain, Qt::WhiteSpacePre);
    return plain;
}

QLabel* CreateLabel(QLabel* label, const char* name) {
    label->setObjectName(name);
    // Reports quote board replies and file names: never markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

// lblOutcome: keeps its whole text (text() gives it) and draws it cut at a word when the bar is
// too narrow; the tooltip then starts with the whole text.
class HeadlineLabel : public QLabel {
public:
    explicit HeadlineLabel(QWidget* parent) : QLabel(parent) {}

    void SetHeadline(const QString& text, const QString& details) {
        setText(text);
        details_ = details;
        UpdateToolTip();
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        UpdateToolTip();
    }

    void showEvent(QShowEvent* event) override {
        QLabel::showEvent(event);
        UpdateToolTip();
    }

    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange)
            drawn_.clear();
        QLabel::changeEvent(event);
    }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        style()->drawItemText(&painter, contentsRect(), Qt::AlignLeft | Qt::AlignVCenter, palette(),
                              true, Drawn(), foregroundRole());
    }

private:
    // The text as drawn. Measuring it is what a status change costs most, and an operation run
    // again shows the texts it showed before: the last few are kept for the width.
    const QString& Drawn() {
        const int width = contentsRect().width();
        if (width != drawnWidth_ || drawn_.size() > KeptTexts) {
            drawn_.clear();
            drawnWidth_ = width;
        }
        auto found = drawn_.find(text());
        if (found == drawn_.end())
            found = drawn_.insert(text(), ElideAtWord(text(), fontMetrics(), width));
        return found.value();
    }

    void UpdateToolTip() {
        const QString details = ToolTip(details_.isEmpty() ? text() : details_);
        const bool lead =
            !details_.isEmpty() && details_ != text() && isVisible() && Drawn() != text();
        setToolTip(lead ? ToolTip(text() + "\r\n\r\n" + details_) : details);
    }

    static constexpr qsizetype KeptTexts = 8;

    QString details_;
    QHash<QString, QString> drawn_;
    int drawnWidth_ = -1;
};

// Holds lblOutcome without a layout of its own. A label's new text asks its parent's layout to be
// done again, and up to the window's; this one's height never changes with its text.
class HeadlineArea : public QWidget {
public:
    explicit HeadlineArea(QWidget* parent) : QWidget(parent), label_(new HeadlineLabel(this)) {
        // A long outcome is cut at the connection rather than widening the fixed-size window.
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }

    HeadlineLabel* Label() const { return label_; }

    QSize sizeHint() const override { return {0, label_->sizeHint().height()}; }
    QSize minimumSizeHint() const override { return {0, label_->minimumSizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent*) override { label_->setGeometry(rect()); }

private:
    HeadlineLabel* label_;
};

QString ElideAtWord(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    for (qsizetype space = text.lastIndexOf(' '); space > 0;
         space = text.lastIndexOf(' ', space - 1)) {
        const QString head = text.left(space);
        if (metrics.horizontalAdvance(head + Ellipsis) <= width)
            return head + Ellipsis;
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
}

StatusLine::StatusLine(QStatusBar* bar)
    : outcomeArea_(new HeadlineArea(bar)),
      lblOutcome_(static_cast<HeadlineLabel*>(CreateLabel(outcomeArea_->Label(), "lblOutcome"))),
      lblUnwritten_(CreateLabel(new QLabel(bar), "lblUnwritten")),
      lblPort_(CreateLabel(new QLabel(bar), "lblPort")) {
    bar->setSizeGripEnabled(false);
    lblOutcome_->setContentsMargins(EdgeMargin, 0, 0, 0);
    lblPort_->setContentsMargins(0, 0, EdgeMargin, 0);
    lblUnwritten_->setContentsMargins(0, 0, 2 * EdgeMargin, 0);
    bar->addWidget(outcomeArea_, 1);
    bar->addPermanentWidget(lblUnwritten_);
    bar->addPermanentWidget(lblPort_);
    lblUnwritten_->hide();
}

void StatusLine::ShowUnwritten(const QStringList& names) {
    const QString text = names.isEmpty() ? QString() : "Not written: " + names.join(", ");
    if (text == lblUnwritten_->toolTip())
        return;
    // Cut rather than widening the fixed-size window; the tooltip keeps the whole list.
    lblUnwritten_->setText(ElideAtWord(text, lblUnwritten_->fontMetrics(), UnwrittenWidth));
    lblUnwritten_->setToolTip(text);
    lblUnwritten_->setVisible(!text.isEmpty());
}

void StatusLine::ShowOutcome(const Outcome& outcome, const QString& details) {
    inProgress_ = false;
    shown_ = outcome;
    shownDetails_ = details;
    Show(outcome, details);
}

void StatusLine::MarkNotRecorded(const QString& why) {
    // An operation that showed no outcome of its own (start, status) leaves its progress text.
    const QString note = "No record was kept: " + why;
    ShowOutcome({inProgress_ ? note : shown_.text + " " + note, true}, shownDetails_);
}

void StatusLine::ShowProgress(const QString& text) {
    inProgress_ = true;
    Show({text, false}, {});
}

void StatusLine::EndProgress() {
    if (inProgress_)
        ShowOutcome(shown_, shownDetails_);
}

void StatusLine::Show(const Outcome& outcome, const QString& details) {
    QPalette colours = lblOutcome_->parentWidget()->palette();
    if (outcome.failed)
        colours.setColor(QPalette::WindowText, FailureRed);
    lblOutcome_->setPalette(colours);
    lblOutcome_->SetHeadline(outcome.text, details);
}

void StatusLine::ShowConnection(const QString& text, const QString& details) {
    lblPort_->setText(text);
    lblPort_->setToolTip(ToolTip(details.isEmpty() ? text : details));
}

} // namespace kronax
