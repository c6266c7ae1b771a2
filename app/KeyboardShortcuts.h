#pragma once

#include <QString>

class QWidget;

namespace kronax {

// Shows text, the window's keys, in an information box owned by owner, captioned caption.
void ShowKeyboardShortcuts(QWidget* owner, const QString& caption, const QString& text);

} // namespace kronax
