#pragma once

#include "link/SerialPort.h"
#include "link/UiDispatcher.h"

#include <memory>
#include <string>

namespace kronax {

// Sets port up the way the program talks to the board: 9600 baud, 8 data bits, no parity, one
// stop bit. With withWatcher every line event is watched (the watcher hands its work to the
// port's dispatcher, which needs an event loop); without it no watcher thread runs, which suits
// a front end that has no event loop. Set while closed.
void SetUpBoardPort(TSerialPort& port, bool withWatcher);

// A new port named name, set up as above, delivering line events through dispatcher, and open.
// Raises what OpenPort raises (ESerialPort) when the port did not open; a port that opened but
// whose modem lines could not be read is returned open. Any thread, which then owns the port.
std::unique_ptr<TSerialPort> OpenBoardPort(const std::string& name, bool withWatcher,
                                           UiDispatcher& dispatcher = UiDispatcher::Shared());

} // namespace kronax
