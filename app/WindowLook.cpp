#include "app/WindowLook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSpacerItem>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

#include <algorithm>

namespace kronax {
namespace {

constexpr int DesignPixels = 11;
// Narrower by this many percent at a time, down to the narrowest: still easy to read.
constexpr int StretchStep = 4;
constexpr int NarrowestStretch = 76;
// A group box title's room: the frame's corner on the left, a little air on the right.
constexpr int TitleAllowance = 12;
// What a title bar takes beside the caption: the icon and the close button.
constexpr int TitleBarAllowance = 96;

// A push button's frame and padding on each side, and the gap between its icon and its text.
constexpr int ButtonFrame = 4;
constexpr int IconGap = 4;

int fontStretch = QFont::Unstretched;

// The room a button gives its caption: for a radio or check button what the style leaves beside
// the indicator, for a push button its width less the frame and the icon.
int CaptionRoom(const QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (qobject_cast<const QRadioButton*>(button))
        return button->style()
            ->subElementRect(QStyle::SE_RadioButtonContents, &option, button)
            .width();
    if (qobject_cast<const QCheckBox*>(button))
        return button->style()
            ->subElementRect(QStyle::SE_CheckBoxContents, &option, button)
            .width();
    const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + IconGap;
    return button->width() - icon - 2 * ButtonFrame;
}

// Whether widget's caption would be clipped in the font whose metrics are given.
bool Clipped(const QWidget* widget, const QFontMetrics& metrics) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        if (label->text().isEmpty() || label->wordWrap())
            return false;
        return metrics.horizontalAdvance(label->text()) > label->contentsRect().width();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return metrics.horizontalAdvance(QString(button->text()).remove('&')) > CaptionRoom(button);
    if (const auto* box = qobject_cast<const QGroupBox*>(widget))
        return metrics.horizontalAdvance(box->title()) + TitleAllowance > box->width();
    return false;
}

// The status bar sizes its labels to their texts, or cuts them at a word by design.
bool Measured(const QWidget* widget) {
    return !qobject_cast<const QStatusBar*>(widget->parentWidget());
}

bool AnyClipped(const QList<QWidget*>& widgets, const QFont& font) {
    const QFontMetrics metrics(font);
    return std::any_of(widgets.begin(), widgets.end(), [&metrics](const QWidget* widget) {
        return Measured(widget) && Clipped(widget, metrics);
    });
}

// Polishes widget and hands it the resize event that a widget not shown yet still owes, so that
// a control that places its items on resizing (a radio group) has done so.
void LayOut(QWidget* widget) {
    widget->ensurePolished();
    if (!widget->testAttribute(Qt::WA_PendingResizeEvent))
        return;
    QResizeEvent resize(widget->size(), QSize());
    QCoreApplication::sendEvent(widget, &resize);
    widget->setAttribute(Qt::WA_PendingResizeEvent, false);
}

} // namespace

QFont WindowFont() {
    QFont font("Nimbus Sans");
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(DesignPixels);
    font.setStretch(fontStretch);
    return font;
}

// The captions are measured in each candidate font before any is given to a control: giving
// the whole window a font costs far more than measuring its captions.
void FitWindowFont(QWidget* window) {
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    for (QWidget* child : children)
        LayOut(child);
    for (fontStretch = QFont::Unstretched;
         fontStretch > NarrowestStretch && AnyClipped(children, WindowFont());
         fontStretch -= StretchStep) {
    }
    // Giving a window the font it has would still tell every control of a change; the fonts
    // differ in their stretch alone.
    if (window->font().stretch() != fontStretch)
        window->setFont(WindowFont());
}

QStringList ClippedControls(const QWidget* window) {
    QStringList clipped;
    for (const QWidget* child : window->findChildren<QWidget*>()) {
        if (Measured(child) && Clipped(child, child->fontMetrics()))
            clipped << (child->objectName().isEmpty() ? child->property("text").toString() +
                                                            child->property("title").toString()
                                                      : child->objectName());
    }
    return clipped;
}

void UseWindowFont(QWidget* widget) {
    widget->setFont(WindowFont());
}

void UseWindowLook(QMessageBox* box) {
    UseWindowFont(box);
    QFont titleFont = QApplication::font();
    titleFont.setBold(true);
    const int width =
        QFontMetrics(titleFont).horizontalAdvance(box->windowTitle()) + TitleBarAllowance;
    // A message box sizes itself to its text; a spacer across its grid is the one width it
    // keeps.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace kronax
