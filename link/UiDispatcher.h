#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

namespace kronax {

// Runs work handed over by worker threads on the user-interface thread, while the worker waits.
//
// How the user interface plugs in: once, before any port opens, the UI calls SetWakeUp with a
// callback that makes its event loop call RunPending on the UI thread soon (the window's view posts
// the call to its own event loop). The callback itself runs on the worker thread and must not
// block. Tests need no callback: they call RunPending or RunPendingUntil in a plain loop.
class UiDispatcher {
public:
    // The dispatcher ports use unless they are given another one.
    static UiDispatcher& Shared();

    // Sets the callback that asks the UI thread to call RunPending. UI thread, no port open.
    void SetWakeUp(std::function<void()> wakeUp);

    // Worker thread: queues work, wakes the UI thread and blocks until the work has run there.
    // An exception thrown by the work is raised again here.
    void RunAndWait(std::function<void()> work);

    // UI thread: runs every queued piece of work, in the order it was queued.
    void RunPending();

    // UI thread: runs queued work as it arrives until finished is true. Whoever sets finished
    // calls Notify afterwards.
    void RunPendingUntil(const std::atomic<bool>& finished);

    // Any thread: wakes a RunPendingUntil so that it looks at its flag again.
    void Notify();

private:
    struct Item {
        std::function<void()> work;
        std::exception_ptr failure;
        bool done = false;
    };

    void RunItems(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::shared_ptr<Item>> queue_;
    std::function<void()> wakeUp_;
};

} // namespace kronax
