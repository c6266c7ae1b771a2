#pragma once

#include "link/SerialPlatform.h"
#include "link/SerialTypes.h"

#include <atomic>
#include <thread>

namespace kronax {

class TCustomSerialPort;

// The thread that waits for line events of an open port and has each set of signalled events
// acted upon by the port's DispatchLineEvents: on the UI thread through the port's dispatcher
// (smThreadSync, smWindowSync) or on the watcher thread itself (smNone). It never reads
// received data. When asked to stop it clears the event mask and discards both driver queues.
// An error raised by a delivery ends the thread at once, without those closing steps.
class TSerialWatcher {
public:
    // UI thread, port open: creates the stop signal, selects the port's event mask and starts
    // the thread. When no stop signal can be created no thread runs.
    explicit TSerialWatcher(TCustomSerialPort& port);
    // Stops the thread if Stop has not run yet.
    ~TSerialWatcher();
    TSerialWatcher(const TSerialWatcher&) = delete;
    TSerialWatcher& operator=(const TSerialWatcher&) = delete;

    // UI thread: sets the stop signal and waits until the thread has ended, running the
    // deliveries queued on the port's dispatcher meanwhile so that a blocked delivery finishes.
    void Stop();

    // The events last signalled.
    TSerialEvents LastEvents() const { return EventsOfMask(lastMask_.load()); }

private:
    void Execute();
    void WaitAndDeliver(EventHandle waitEvent);
    void Deliver(TSerialEvents events);

    TCustomSerialPort& port_;
    ISerialPlatform& platform_;
    DeviceHandle device_;
    EventHandle stopSignal_ = 0;
    std::atomic<std::uint32_t> lastMask_{0};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

} // namespace kronax
