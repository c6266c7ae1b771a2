#pragma once

#include <QIcon>
#include <QList>

namespace kronax {

// The menu's small pictures, addressed by index: 0 open file, 1 save file, 2 read from the
// board, 3 write to the board, 4 power-on default, 6 board information, 8 about. Positions 5
// and 7 hold no picture. Call on the UI thread after the application object exists.
QList<QIcon> DrawImageList();

} // namespace kronax
