#include "app/StatusLine.h"

#include "app/WindowLook.h"

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

// The form gives the details a line per report line.
QString ToolTip(const QString& plain) {
    // A tooltip that looks like markup is taken as markup: then it is escaped (and may wrap).
    if (Qt::mightBeRichText(plain))
        return Qt::convertFromPlainText(plain, Qt::WhiteSpacePre);
    return plain;
}

void SetColour(QLabel* label, bool red) {
    QPalette colours = label->parentWidget()->palette();
    if (red)
        colours.setColor(QPalette::WindowText, FailureRed);
    label->setPalette(colours);
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
        setToolTip(lead ? ToolTip(text() + "\n\n" + details_) : details);
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
      lblRecordsQueue_(CreateLabel(new QLabel(bar), "lblRecordsQueue")),
      lblUnwritten_(CreateLabel(new QLabel(bar), "lblUnwritten")),
      lblPort_(CreateLabel(new QLabel(bar), "lblPort")) {
    bar->setSizeGripEnabled(false);
    lblOutcome_->setContentsMargins(EdgeMargin, 0, 0, 0);
    lblPort_->setContentsMargins(0, 0, EdgeMargin, 0);
    lblUnwritten_->setContentsMargins(0, 0, 2 * EdgeMargin, 0);
    lblRecordsQueue_->setContentsMargins(0, 0, 2 * EdgeMargin, 0);
    SetColour(lblRecordsQueue_, true);
    bar->addWidget(outcomeArea_, 1);
    bar->addPermanentWidget(lblRecordsQueue_);
    bar->addPermanentWidget(lblUnwritten_);
    bar->addPermanentWidget(lblPort_);
    lblRecordsQueue_->hide();
    lblUnwritten_->hide();
    lblOutcome_->setAccessibleName("Outcome");
    lblRecordsQueue_->setAccessibleName("Records waiting");
    lblUnwritten_->setAccessibleName("Unwritten settings");
    lblPort_->setAccessibleName("Connection");
}

void StatusLine::Show(StatusPart part, const StatusText& status) {
    const QString text = QString::fromStdString(status.text);
    const QString details = QString::fromStdString(status.details);
    switch (part) {
    case StatusPart::Outcome:
        SetColour(lblOutcome_, status.red);
        lblOutcome_->SetHeadline(text, details);
        lblOutcome_->setAccessibleDescription(details);
        break;
    case StatusPart::Forwarding:
        ShowAside(lblRecordsQueue_, text, details, text);
        break;
    case StatusPart::Unwritten:
        // Cut rather than widening the fixed-size window; the tooltip keeps the whole list.
        ShowAside(lblUnwritten_, ElideAtWord(text, lblUnwritten_->fontMetrics(), UnwrittenWidth),
                  details, text);
        break;
    case StatusPart::Connection:
        lblPort_->setText(text);
        lblPort_->setToolTip(ToolTip(details));
        lblPort_->setAccessibleDescription(details);
        break;
    }
}

void StatusLine::ShowAside(QLabel* label, const QString& shown, const QString& details,
                           const QString& text) {
    label->setText(shown);
    label->setToolTip(details);
    label->setAccessibleDescription(details);
    label->setVisible(!text.isEmpty());
}

QString StatusLine::OutcomeText() const {
    return lblOutcome_->text();
}

} // namespace kronax
