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

    // Runs deliveries on this (the UI) thread for the given time.
    void RunFor(std::chrono::milliseconds time) {
        auto end = std::chrono::steady_clock::now() + time;
        while (std::chrono::steady_clock::now() < end) {
            dispatcher.RunPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    bool RunUntilEvents(int count) {
        auto deadline = std::chrono::steady_clock::now() + HangLimit;
        while (rxEvents < count && std::chrono::steady_clock::now() < deadline)
            RunFor(std::chrono::milliseconds(1));
        return rxEvents >= count;
    }

    // Declared before the port, which may still use them while it closes on destruction.
    std::atomic<int> rxEvents{0};
    int lastCount = 0;
    PtyDevice device;
    UiDispatcher dispatcher;
    TSerialPort port;
};

TEST_F(PtyWatcher, BytesLeftUnreadRaiseRxCharOncePerArrivalNotContinuously) {
    port.OpenPort();
    device.Send("!SMACK\r");
    ASSERT_TRUE(RunUntilEvents(1));
    EXPECT_EQ(lastCount, 7);
    RunFor(std::chrono::milliseconds(300));
    EXPECT_EQ(rxEvents, 1);

    device.Send("more");
    ASSERT_TRUE(RunUntilEvents(2));
    RunFor(std::chrono::milliseconds(300));
    EXPECT_EQ(rxEvents, 2);
    std::string text;
    EXPECT_EQ(port.ReadText(text, 1000), 11);
}

TEST_F(PtyWatcher, EmptyEventsMeanNoDeliveries) {
    port.SetEvents({});
    port.OpenPort();
    device.Send("x");
    ASSERT_TRUE(WaitQueued(port, 1));
    RunFor(std::chrono::milliseconds(100));
    EXPECT_EQ(rxEvents, 0);
    EXPECT_FALSE(port.WatcherStarted());
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
