#include "app/EntryField.h"

#include "app/WindowLook.h"

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
    colours.setColor(QPalette::Base, valid ? QColor(Qt::white) : InvalidFieldRed);
    setPalette(colours);
}

} // namespace kronax
