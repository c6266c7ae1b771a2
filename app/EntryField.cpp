#include "app/EntryField.h"

#include <QColor>
#include <QPalette>

namespace kronax {

EntryField::EntryField(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, &EntryField::Change);
}

void EntryField::SetText(const QString& text) {
    if (text != this->text())
        setText(text);
}

void EntryField::SetValid(bool valid) {
    QPalette colours = palette();
    colours.setColor(QPalette::Base, valid ? QColor(255, 255, 255) : QColor(255, 0, 0));
    setPalette(colours);
}

} // namespace kronax
