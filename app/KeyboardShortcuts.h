#pragma once

#include <QString>

class QWidget;

namespace kronax {

// Every key of the window and what it does, one per line. Pure.
QString KeyboardShortcutsText();

// Shows the text in an information box owned by owner, captioned caption.
void ShowKeyboardShortcuts(QWidget* owner, const QString& caption);

} // namespace kronax
