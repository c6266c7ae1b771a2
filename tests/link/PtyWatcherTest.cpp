#include "tests/link/PtyDevice.h"

#include <gtest/gtest.h>

#include <atomic>

namespace kronax {
namespace {

class PtyWatcher : public ::testing::Test {
protected:
    void SetUp() override {
        port.SetDispatcher(dispatcher);
        port.OnRxChar = [this](int count) {
            rxEvents++;
            lastCount = count;
        };
    }

    // Runs deliveries on this (the UI) thread until count events have come (false after
    // HangLimit).
    bool RunUntilEvents(int count) {
        auto deadline = std::chrono::steady_clock::now() + HangLimit;
        while (rxEvents < count && std::chrono::steady_clock::now() < deadline) {
            dispatcher.RunPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return rxEvents >= count;
    }

    // Declared before the port, which may still use them while it closes on destruction.
    std::atomic<int> rxEvents{0};
    int lastCount = 0;
    PtyDevice device;
    UiDispatcher dispatcher;
    TSerialPort port;
};

// Each arrival's event counts every byte queued: an event raised again for bytes left unread
// would mostly come before the next arrival, with the earlier count.
TEST_F(PtyWatcher, BytesLeftUnreadRaiseRxCharOncePerArrivalNotContinuously) {
    port.OpenPort();
    const struct {
        std::string bytes;
        int queued;
    } arrivals[] = {{"!SMACK\r", 7}, {"more", 11}, {"!", 12}};
    int events = 0;
    for (const auto& arrival : arrivals) {
        device.Send(arrival.bytes);
        ASSERT_TRUE(RunUntilEvents(++events)) << arrival.bytes;
        EXPECT_EQ(rxEvents, events) << arrival.bytes;
        EXPECT_EQ(lastCount, arrival.queued) << arrival.bytes;
    }
    // Nothing more may come while the bytes stay unread. A sound watcher passes however long
    // this lasts; a loaded machine can only make it prove less, never fail.
    const auto quietEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    while (std::chrono::steady_clock::now() < quietEnd) {
        dispatcher.RunPending();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(rxEvents, events);
    std::string text;
    EXPECT_EQ(port.ReadText(text, 1000), 12);
}

TEST_F(PtyWatcher, EmptyEventsMeanNoDeliveries) {
    port.SetEvents({});
    port.OpenPort();
    device.Send("x");
    ASSERT_TRUE(WaitQueued(port, 1));
    EXPECT_FALSE(port.WatcherStarted());
    dispatcher.RunPending();
    EXPECT_EQ(rxEvents, 0);
}

TEST_F(PtyWatcher, CloseFinishesWhileADeliveryWaitsForTheUiThread) {
    std::atomic<bool> woken{false};
    dispatcher.SetWakeUp([&] { woken = true; });
    port.OpenPort();
    device.Send("x");
    auto deadline = std::chrono::steady_clock::now() + HangLimit;
    while (!woken && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(woken);
    port.ClosePort();
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(rxEvents, 1);
}

} // namespace
} // namespace kronax
