#include "app/WindowLook.h"

#include <QWidget>

namespace kronax {

void UseWindowFont(QWidget* widget) {
    widget->setStyleSheet(WindowFontStyle);
}

} // namespace kronax
