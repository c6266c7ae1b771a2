#include "app/WindowLook.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QSpacerItem>
#include <QStatusBar>
#include <QWidget>

namespace kronax {
namespace {

constexpr int DesignPixels = 11;
constexpr int SmallestPixels = 8;
// A group box title's room: the frame's corner on the left, a little air on the right.
constexpr int TitleAllowance = 12;
// What a title bar takes beside the caption: the icon and the close button.
constexpr int TitleBarAllowance = 96;

int fontPixels = DesignPixels;

bool Clipped(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        if (label->text().isEmpty() || label->wordWrap())
            return false;
        return label->fontMetrics().horizontalAdvance(label->text()) >
               label->contentsRect().width();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return !button->text().isEmpty() && button->sizeHint().width() > button->width();
    if (const auto* box = qobject_cast<const QGroupBox*>(widget))
        return box->fontMetrics().horizontalAdvance(box->title()) + TitleAllowance > box->width();
    return false;
}

} // namespace

QString WindowFontStyle() {
    return QString("QWidget { font-family: \"Nimbus Sans\", sans-serif; font-size: %1px; }")
        .arg(fontPixels);
}

void FitWindowFont(QWidget* window, const QString& ownStyle) {
    for (fontPixels = DesignPixels;; --fontPixels) {
        // Setting the same sheet again would lay out the status bar anew, a little taller.
        if (const QString style = WindowFontStyle() + ownStyle; window->styleSheet() != style)
            window->setStyleSheet(style);
        window->ensurePolished();
        for (QWidget* child : window->findChildren<QWidget*>())
            child->ensurePolished();
        if (fontPixels == SmallestPixels || ClippedControls(window).isEmpty())
            return;
    }
}

QStringList ClippedControls(const QWidget* window) {
    QStringList clipped;
    for (const QWidget* child : window->findChildren<QWidget*>()) {
        // The status bar sizes its labels to their texts, or cuts them at a word by design.
        if (qobject_cast<const QStatusBar*>(child->parentWidget()))
            continue;
        if (Clipped(child))
            clipped << (child->objectName().isEmpty() ? child->property("text").toString() +
                                                            child->property("title").toString()
                                                      : child->objectName());
    }
    return clipped;
}

void UseWindowFont(QWidget* widget) {
    widget->setStyleSheet(WindowFontStyle());
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
