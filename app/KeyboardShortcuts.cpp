#include "app/KeyboardShortcuts.h"

#include "app/WindowLook.h"

#include <QMessageBox>

namespace kronax {

void ShowKeyboardShortcuts(QWidget* owner, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, owner);
    box.setObjectName("KeyboardShortcutsBox");
    box.setTextFormat(Qt::PlainText);
    UseWindowLook(&box);
    box.exec();
}

} // namespace kronax
