#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

class QMessageBox;
class QWidget;

namespace kronax {

// Red texts (a failed outcome, no open port) keep a contrast of at least 4.5 to 1 (5.9 on white,
// 5.2 on a window's light grey); a red field keeps at least that with its black text (7.1).
inline const QColor FailureRed{0xc0, 0x00, 0x00};
inline const QColor InvalidFieldRed{0xff, 0x60, 0x60};

// The window's font: a small sans of 11 pixels, the size the layout was designed for, as narrow
// as FitWindowFont found it needs to be. Boxes the window shows without owning them use it too.
QFont WindowFont();

// Gives window the font at the widest stretch, from normal width down, at which no caption of its
// controls is clipped (ClippedControls); the narrowest tried when none fits. The sans at hand may
// be wider than the one the layout was drawn for, and a narrower face keeps the design's size.
void FitWindowFont(QWidget* window);

// The names (or texts) of the controls in window whose caption is wider than the room they give
// it: labels that do not wrap, buttons, and group box titles. Empty ones and the status bar's
// labels (sized to their text, or cut at a word by design) are left out.
QStringList ClippedControls(const QWidget* window);

// Gives widget (a message box, typically) the window's font.
void UseWindowFont(QWidget* widget);

// The window's font, and a box wide enough for its whole caption in the title bar.
void UseWindowLook(QMessageBox* box);

} // namespace kronax
