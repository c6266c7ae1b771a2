#include "link/SerialWatcher.h"

#include "link/SerialPort.h"

namespace kronax {

TSerialWatcher::TSerialWatcher(TCustomSerialPort& port)
    : port_(port), platform_(port.Platform()), device_(port.Device()) {
    if (platform_.NewEvent(false, stopSignal_) != 0) {
        finished_ = true;
        return;
    }
    platform_.SetEventMask(device_, EventMaskOf(port_.Events()));
    thread_ = std::thread([this] { Execute(); });
}

TSerialWatcher::~TSerialWatcher() {
    Stop();
}

void TSerialWatcher::Stop() {
    if (!thread_.joinable())
        return;
    platform_.SignalEvent(stopSignal_);
    port_.Dispatcher().RunPendingUntil(finished_);
    thread_.join();
    // Closed only now: the thread may have ended on its own before the signal was set.
    platform_.CloseEvent(stopSignal_);
}

void TSerialWatcher::Execute() {
    EventHandle waitEvent = 0;
    if (platform_.NewEvent(true, waitEvent) == 0) {
        try {
            WaitAndDeliver(waitEvent);
            platform_.SetEventMask(device_, 0);
            platform_.Purge(device_, PurgeTxClear | PurgeRxClear);
        } catch (...) {
            // A failed delivery ends watching; the port stays usable without events.
        }
        platform_.CloseEvent(waitEvent);
    }
    finished_ = true;
    port_.Dispatcher().Notify();
}

void TSerialWatcher::WaitAndDeliver(EventHandle waitEvent) {
    for (;;) {
        std::uint32_t mask = 0;
        LineWait outcome = platform_.WaitLineEvent(device_, waitEvent, stopSignal_, mask);
        if (outcome == LineWait::Stopped)
            return;
        if (outcome == LineWait::Signalled) {
            lastMask_ = mask;
            Deliver(EventsOfMask(mask));
        }
    }
}

void TSerialWatcher::Deliver(TSerialEvents events) {
    if (port_.SyncMethod() == TSyncMethod::smNone) {
        port_.DispatchLineEvents(events);
        return;
    }
    port_.Dispatcher().RunAndWait([this, events] { port_.DispatchLineEvents(events); });
}

} // namespace kronax
