#pragma once

class QWidget;

namespace kronax {

// The window's font: a small sans of 11 pixels, the size the layout was designed for. Boxes the
// window shows without owning them use it too.
inline constexpr const char* WindowFontStyle =
    "QWidget { font-family: \"Nimbus Sans\", sans-serif; font-size: 11px; }";

// Gives widget (a message box, typically) the window's font. UI thread.
void UseWindowFont(QWidget* widget);

} // namespace kronax
