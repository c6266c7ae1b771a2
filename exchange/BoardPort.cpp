#include "exchange/BoardPort.h"

namespace kronax {

void SetUpBoardPort(TSerialPort& port, bool withWatcher) {
    port.SetBaudRate(TBaudRate::br9600);
    port.Parity().SetBits(TParityBits::prNone);
    port.SetDataBits(TDataBits::dbEight);
    port.SetStopBits(TStopBits::sbOneStopBit);
    port.SetEvents(withWatcher ? AllSerialEvents() : TSerialEvents{});
}

std::unique_ptr<TSerialPort> OpenBoardPort(const std::string& name, bool withWatcher,
                                           UiDispatcher& dispatcher) {
    auto port = std::make_unique<TSerialPort>();
    SetUpBoardPort(*port, withWatcher);
    port->SetDispatcher(dispatcher);
    port->SetPort(name);
    try {
        port->OpenPort();
    } catch (const ESerialPort&) {
        // Only an unreadable modem status leaves the port open; the board needs none of those
        // lines, so the port is used as the window uses it.
        if (!port->Connected())
            throw;
    }
    return port;
}

} // namespace kronax
