#include "link/SerialPort.h"
#include "tests/fakes/FakeSerialPlatform.h"
#include "tests/support/HangLimit.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace kronax {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

using test::HangLimit;

class WatcherOverFake : public ::testing::Test {
protected:
    void SetUp() override {
        port.SetDispatcher(dispatcher);
        dispatcher.SetWakeUp([this] { wakeUps++; });
    }

    // Runs deliveries on this (the UI) thread until done is true.
    template <typename Done> bool RunUntil(Done done) {
        auto deadline = std::chrono::steady_clock::now() + HangLimit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            dispatcher.RunPending();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    // Declared before the port, which may still use them while it closes on destruction.
    std::atomic<int> wakeUps{0};
    FakeSerialPlatform fake;
    UiDispatcher dispatcher;
    TSerialPort port{fake};
};

TEST_F(WatcherOverFake, EmptyEventsStartNoWatcherAndClosingSkipsStoppingIt) {
    port.SetEvents({});
    port.OpenPort();
    port.ClosePort();
    EXPECT_FALSE(port.WatcherStarted());
    EXPECT_THAT(fake.Calls(), Not(Contains("NewEvent 0")));
    EXPECT_THAT(fake.Calls(), Not(Contains("SignalEvent")));
    EXPECT_THAT(fake.OtherThreadCalls(), ::testing::IsEmpty());
}

TEST_F(WatcherOverFake, ReceivedCharactersAreReportedOnTheUiThreadWithoutConsumingThem) {
    std::atomic<int> reported{0};
    std::thread::id hookThread;
    port.OnRxChar = [&](int count) {
        reported = count;
        hookThread = std::this_thread::get_id();
    };
    port.OpenPort();
    fake.QueueInput("!SMACK\r");
    fake.RaiseLineEvents(EvRxChar);
    ASSERT_TRUE(RunUntil([&] { return reported != 0; }));
    EXPECT_EQ(reported, 7);
    EXPECT_EQ(hookThread, std::this_thread::get_id());
    std::string text;
    EXPECT_EQ(port.ReadText(text, 1000), 7);
    port.ClosePort();
}

TEST_F(WatcherOverFake, DeliveryActsInItsFixedOrderWithOnlyTheDocumentedReads) {
    std::vector<std::string> seen;
    port.OnError = [&](TSerialErrors errors) {
        seen.push_back(errors == TSerialErrors{TSerialError::ceFrame} ? "frame" : "other");
    };
    port.OnRxChar = [&](int) {
        seen.push_back("rx");
    };
    port.OnTxEmpty = [&] {
        seen.push_back("tx empty");
    };
    port.OnCTSChange = [&](bool on) {
        seen.push_back(on ? "cts on" : "cts off");
    };
    port.OnRLSDChange = [&](bool on) {
        seen.push_back(on ? "rlsd on" : "rlsd off");
    };
    port.OpenPort();
    seen.clear();
    fake.ClearCalls();
    fake.QueueInput("x");
    fake.SetLineErrors(CeFrame | CeRxParity);
    fake.SetModemStatus(MsCtsOn);
    port.DispatchLineEvents(EventsOfMask(EvRlsd | EvCts | EvTxEmpty | EvRxChar | EvErr));
    EXPECT_THAT(seen, ElementsAre("frame", "rx", "tx empty", "cts on", "rlsd off"));
    EXPECT_THAT(fake.Calls(),
                ElementsAre("ClearErrors", "ClearErrors", "GetModemStatus", "GetModemStatus"));
    port.ClosePort();
}

TEST_F(WatcherOverFake, CloseNeverDeadlocksWhileADeliveryWaitsForTheUiThread) {
    std::atomic<int> deliveries{0};
    port.OnRxChar = [&](int) {
        deliveries++;
    };
    port.OpenPort();
    fake.QueueInput("x");
    fake.RaiseLineEvents(EvRxChar);
    // Wait until the watcher has queued its delivery, without running it.
    auto deadline = std::chrono::steady_clock::now() + HangLimit;
    while (wakeUps == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(wakeUps, 1);
    port.ClosePort();
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(deliveries, 1);
    EXPECT_THAT(fake.OtherThreadCalls(), Contains("Purge 12"));
}

TEST_F(WatcherOverFake, AFailingDeliveryEndsTheWatcherButLeavesThePortUsable) {
    port.OpenPort();
    fake.Fail("ClearErrors", 5);
    fake.RaiseLineEvents(EvRxChar);
    ASSERT_TRUE(RunUntil([&] { return wakeUps > 0; }));
    dispatcher.RunPending();
    fake.Succeed("ClearErrors");
    fake.QueueInput("ok");
    std::string text;
    EXPECT_EQ(port.ReadText(text, 1000), 2);
    port.ClosePort();
    EXPECT_FALSE(port.Connected());
    EXPECT_THAT(fake.OtherThreadCalls(), Not(Contains("SetEventMask 0x0")));
    EXPECT_EQ(fake.OpenEventCount(), 0);
}

TEST_F(WatcherOverFake, WithoutSynchronisationTheWatcherDeliversOnItsOwnThread) {
    std::promise<std::thread::id> hookThread;
    port.SetSyncMethod(TSyncMethod::smNone);
    port.OnTxEmpty = [&] {
        hookThread.set_value(std::this_thread::get_id());
    };
    port.OpenPort();
    fake.RaiseLineEvents(EvTxEmpty);
    auto delivered = hookThread.get_future();
    ASSERT_EQ(delivered.wait_for(HangLimit), std::future_status::ready);
    EXPECT_NE(delivered.get(), std::this_thread::get_id());
    EXPECT_EQ(wakeUps, 0);
    port.ClosePort();
}

TEST(UiDispatcher, PassesAnExceptionOfTheWorkBackToTheWaitingWorker) {
    UiDispatcher dispatcher;
    std::atomic<bool> finished{false};
    int code = 0;
    std::thread worker([&] {
        try {
            dispatcher.RunAndWait([] { throw ESerialPort(10, 5); });
        } catch (const ESerialPort& error) {
            code = error.PortErrorCode();
        }
        finished = true;
        dispatcher.Notify();
    });
    dispatcher.RunPendingUntil(finished);
    worker.join();
    EXPECT_EQ(code, 10);
}

TEST(SerialEventMask, AllEventsGiveMask05FFAndUnknownBitsAreDropped) {
    EXPECT_EQ(EventMaskOf(AllSerialEvents()), 0x05FFu);
    EXPECT_EQ(EventsOfMask(0xFFFF), AllSerialEvents());
    EXPECT_EQ(EventsOfMask(0x0200), TSerialEvents{});
}

TEST(SerialErrorFlags, ParityErrorsCountOnlyWhenParityIsChecked) {
    EXPECT_EQ(ErrorsOfFlags(CeRxParity | CeOverrun, false), TSerialErrors{TSerialError::ceOverrun});
    EXPECT_EQ(ErrorsOfFlags(CeRxParity, true), TSerialErrors{TSerialError::ceRxParity});
    EXPECT_EQ(ErrorsOfFlags(CeIoe | CeMode | CeTxFull | CeRxOver | CeBreak, false),
              (TSerialErrors{TSerialError::ceIO, TSerialError::ceMode, TSerialError::ceTxFull,
                             TSerialError::ceRxOver, TSerialError::ceBreak}));
}

} // namespace
} // namespace kronax
