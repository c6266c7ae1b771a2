#include "app/EntryField.h"

#include "app/WindowLook.h"

#include <QPalette>

namespace kronax {

EntryField::EntryField(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!settingText_)
            emit Edited(text);
    });
}

void EntryField::SetText(const QString& text) {
    if (text == this->text())
        return;
    settingText_ = true;
    setText(text);
    settingText_ = false;
}

void EntryField::SetValid(bool valid, const QString& description) {
    QPalette colours = palette();
    colours.setColor(QPalette::Base, valid ? QColor(Qt::white) : InvalidFieldRed);
    setPalette(colours);
    setAccessibleDescription(valid ? QString() : "Invalid. " + description);
}

} // namespace kronax
