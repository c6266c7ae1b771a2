#include "tests/win32_port/PortOnWine.h"

#include <gtest/gtest.h>

#include <atomic>

namespace kronax::wine {
namespace {

// The simulator's answer to "??SMSETB".
const std::string Query = "??SMSETB\r";
const std::string Answer = "!SM0815P1.2F2.1U1.7\r";

// The stop signal stays set once set: a wait for line events must then end whether the device
// takes the wait (pending) or refuses it at once (Wine with modem events in the mask).
TEST(Win32PortOverSim, LineEventWaitEndsOnceTheStopSignalIsSet) {
    SimLink link(false);
    OpenOnWine(link.port);
    ISerialPlatform& platform = link.port.Platform();
    EventHandle waitEvent = 0;
    EventHandle stopSignal = 0;
    ASSERT_EQ(platform.NewEvent(true, waitEvent), 0);
    ASSERT_EQ(platform.NewEvent(false, stopSignal), 0);
    ASSERT_EQ(platform.SignalEvent(stopSignal), 0);
    for (TSerialEvents events : {AllSerialEvents(), TSerialEvents{TSerialEvent::evRxChar}}) {
        SCOPED_TRACE(EventMaskOf(events));
        ASSERT_EQ(platform.SetEventMask(link.port.Device(), EventMaskOf(events)), 0);
        std::uint32_t mask = 0;
        HangGuard guard("WaitLineEvent");
        EXPECT_EQ(platform.WaitLineEvent(link.port.Device(), waitEvent, stopSignal, mask),
                  LineWait::Stopped);
    }
    platform.SetEventMask(link.port.Device(), 0);
    platform.CloseEvent(stopSignal);
    platform.CloseEvent(waitEvent);
}

TEST(Win32PortOverSim, CloseWithAnAnswerQueuedReturnsAndDiscardsItFiveTimesOver) {
    SimLink link;
    for (int opening = 1; opening <= 5; ++opening) {
        SCOPED_TRACE(opening);
        OpenOnWine(link.port);
        ASSERT_TRUE(link.port.WatcherStarted());
        EXPECT_EQ(Queued(link.port), 0u);
        link.port.WriteText(Query);
        ASSERT_TRUE(WaitQueued(link.port, static_cast<std::uint32_t>(Answer.size())));
        HangGuard guard("ClosePort");
        link.port.ClosePort();
        EXPECT_FALSE(link.port.Connected());
    }
    OpenOnWine(link.port);
    EXPECT_EQ(Queued(link.port), 0u);
}

TEST(Win32PortOverSim, WatcherDeliversReceivedCharactersAndTransmitEmptyWithoutTakingData) {
    SimLink link;
    link.port.SetEvents({TSerialEvent::evRxChar, TSerialEvent::evTxEmpty});
    std::atomic<int> largestCount{0};
    std::atomic<int> transmitEmpty{0};
    link.port.OnRxChar = [&](int count) {
        largestCount = std::max(largestCount.load(), count);
    };
    link.port.OnTxEmpty = [&] {
        ++transmitEmpty;
    };
    OpenOnWine(link.port);

    link.port.WriteText(Query);
    const auto end = std::chrono::steady_clock::now() + HangLimit;
    while ((largestCount < static_cast<int>(Answer.size()) || transmitEmpty == 0) &&
           std::chrono::steady_clock::now() < end) {
        link.dispatcher.RunPending();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(largestCount, static_cast<int>(Answer.size()));
    EXPECT_GT(transmitEmpty, 0);

    std::string text;
    EXPECT_EQ(link.port.ReadText(text, 1000), static_cast<int>(Answer.size()));
    EXPECT_EQ(text, Answer);
    HangGuard guard("ClosePort");
    link.port.ClosePort();
}

} // namespace
} // namespace kronax::wine
