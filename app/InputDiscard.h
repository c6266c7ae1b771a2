#pragma once

namespace kronax {

// Delivers the events waiting for the UI thread, except that the operator's keyboard and mouse
// input among them is dropped: clicks and keys given while a command blocked the window must not
// start further commands once it is free again. Everything else (paints, timers, work handed over
// by the port's watcher) runs as usual. UI thread.
void DiscardQueuedInput();

} // namespace kronax
