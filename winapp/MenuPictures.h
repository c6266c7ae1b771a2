#pragma once

#include <windows.h>

namespace kronax::win32 {

// The picture of the design's image list at index, drawn at size pixels square as a 32-bit
// bitmap with alpha for a menu item; null for an index without a picture. The caller frees it.
HBITMAP DrawMenuPicture(int index, int size);

} // namespace kronax::win32
