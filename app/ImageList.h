#pragma once

#include <QIcon>
#include <QList>

namespace kronax {

// The positions of the menu's small pictures in the list DrawImageList returns. Positions 5 and
// 7 hold no picture.
namespace image {
inline constexpr int OpenFile = 0;
inline constexpr int SaveFile = 1;
inline constexpr int ReadFromBoard = 2;
inline constexpr int WriteToBoard = 3;
inline constexpr int PowerOnDefault = 4;
inline constexpr int BoardInformation = 6;
inline constexpr int About = 8;
} // namespace image

// The menu's small pictures, addressed by the positions above. Call on the UI thread after the
// application object exists.
QList<QIcon> DrawImageList();

} // namespace kronax
