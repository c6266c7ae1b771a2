#pragma once

#include "form/FormDesign.h"

#include <QIcon>
#include <QList>

namespace kronax {

// The menu's small pictures, addressed by the design's image positions (form/FormDesign.h);
// positions 5 and 7 hold no picture. Call on the UI thread after the
// application object exists.
QList<QIcon> DrawImageList();

} // namespace kronax
