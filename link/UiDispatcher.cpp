#include "link/UiDispatcher.h"

#include <utility>

namespace kronax {

UiDispatcher& UiDispatcher::Shared() {
    static UiDispatcher dispatcher;
    return dispatcher;
}

void UiDispatcher::SetWakeUp(std::function<void()> wakeUp) {
    std::lock_guard lock(mutex_);
    wakeUp_ = std::move(wakeUp);
}

void UiDispatcher::RunAndWait(std::function<void()> work) {
    auto item = std::make_shared<Item>();
    item->work = std::move(work);
    std::function<void()> wakeUp;
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(item);
        wakeUp = wakeUp_;
    }
    changed_.notify_all();
    if (wakeUp)
        wakeUp();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return item->done; });
    if (item->failure)
        std::rethrow_exception(item->failure);
}

void UiDispatcher::RunPending() {
    std::unique_lock lock(mutex_);
    RunItems(lock);
}

void UiDispatcher::RunPendingUntil(const std::atomic<bool>& finished) {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return !queue_.empty() || finished.load(); });
        RunItems(lock);
        if (finished.load())
            return;
    }
}

void UiDispatcher::Notify() {
    // Taking the lock orders the caller's flag change before the waiter's next look at it.
    { std::lock_guard lock(mutex_); }
    changed_.notify_all();
}

void UiDispatcher::RunItems(std::unique_lock<std::mutex>& lock) {
    while (!queue_.empty()) {
        std::shared_ptr<Item> item = queue_.front();
        queue_.pop_front();
        lock.unlock();
        try {
            item->work();
        } catch (...) {
            item->failure = std::current_exception();
        }
        lock.lock();
        item->done = true;
        changed_.notify_all();
    }
}

} // namespace kronax
