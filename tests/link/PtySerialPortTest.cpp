#include "tests/link/PtyPortTest.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>

namespace kronax {
namespace {

class PtySerialPort : public PtyPortTest {
protected:
    std::string text;
};

TEST_F(PtySerialPort, ReadWithNothingQueuedReturnsZeroInsteadOfWaiting) {
    EXPECT_EQ(port.ReadText(text, 1000), 0);
    EXPECT_EQ(text, "");
}

TEST_F(PtySerialPort, QueuedBytesComeBackWholeUpToCountAndTheRestStaysQueued) {
    device.Send("!SM");
    ASSERT_TRUE(WaitQueued(port, 3));
    EXPECT_EQ(port.ReadText(text, 1000), 3);
    EXPECT_EQ(text, "!SM");

    std::string burst;
    for (int i = 0; i < 1500; ++i)
        burst += static_cast<char>('A' + i % 26);
    device.Send(burst);
    ASSERT_TRUE(WaitQueued(port, 1500));
    EXPECT_EQ(port.ReadText(text, 1000), 1000);
    EXPECT_EQ(text, burst.substr(0, 1000));
    EXPECT_EQ(port.ReadText(text, 1000), 500);
    EXPECT_EQ(text, burst.substr(1000));
}

TEST_F(PtySerialPort, NulXonXoffAndLineEndsPassUnchangedInBothDirections) {
    const std::string bytes("\0\x11\x13\r\n\x7f\xff\x03", 8);
    device.Send(bytes);
    ASSERT_TRUE(WaitQueued(port, 8));
    EXPECT_EQ(port.ReadText(text, 1000), 8);
    EXPECT_EQ(text, bytes);
    EXPECT_EQ(port.WriteText(bytes), 8);
    EXPECT_EQ(device.Receive(8), bytes);
}

TEST_F(PtySerialPort, PurgeDropsWhatCameBeforeItButNotWhatComesAfter) {
    device.Send("stale");
    ASSERT_TRUE(WaitQueued(port, 5));
    port.PurgeBuffers(true, true);
    EXPECT_EQ(Queued(port), 0u);
    device.Send("!SMACK\r");
    ASSERT_TRUE(WaitQueued(port, 7));
    EXPECT_EQ(port.ReadText(text, 1000), 7);
    EXPECT_EQ(text, "!SMACK\r");
}

TEST_F(PtySerialPort, ClosingDiscardsQueuedBytesWithOrWithoutAWatcher) {
    for (bool watched : {true, false}) {
        SCOPED_TRACE(watched ? "watched" : "unwatched");
        port.ClosePort();
        port.SetEvents(watched ? AllSerialEvents() : TSerialEvents{});
        port.OpenPort();
        device.Send("left over");
        ASSERT_TRUE(WaitQueued(port, 9));
        port.ClosePort();
        port.OpenPort();
        EXPECT_EQ(port.ReadText(text, 1000), 0);
    }
}

TEST_F(PtySerialPort, VanishedPeerMakesReadsAndWritesRaiseAndTheDeviceOpensAgainLater) {
    device.Vanish();
    try {
        port.ReadText(text, 1000);
        ADD_FAILURE() << "read did not raise";
    } catch (const ESerialPort& error) {
        EXPECT_EQ(error.PortErrorCode(), 3);
    }
    try {
        port.WriteText("??SMSTA\r");
        ADD_FAILURE() << "write did not raise";
    } catch (const ESerialPort& error) {
        EXPECT_EQ(error.PortErrorCode(), 2);
    }
    port.ClosePort();
    EXPECT_FALSE(port.Connected());

    device.Attach();
    port.OpenPort();
    device.Send("back");
    ASSERT_TRUE(WaitQueued(port, 4));
    EXPECT_EQ(port.ReadText(text, 1000), 4);
}

TEST_F(PtySerialPort, ASecondOpenerIsRefusedWhileThePortIsHeld) {
    TSerialPort second;
    try {
        second.OpenPort();
        ADD_FAILURE() << "second opening succeeded";
    } catch (const ESerialPort& error) {
        EXPECT_EQ(error.PortErrorCode(), 1);
        EXPECT_EQ(error.WinErrorCode(), EBUSY);
    }
    EXPECT_FALSE(second.Connected());
}

TEST_F(PtySerialPort, NamesThatAreNotComNeverReachTheFileSystem) {
    device.Link("evil", "/dev/null");
    for (const char* name : {"evil", "COM1/../evil", "../COM1", "COM01", "/dev/tty"}) {
        TSerialPort other;
        other.SetPort(name);
        try {
            other.OpenPort();
            ADD_FAILURE() << name << " opened";
        } catch (const ESerialPort& error) {
            EXPECT_EQ(error.PortErrorCode(), 1) << name;
            EXPECT_EQ(error.WinErrorCode(), ENOENT) << name;
        }
    }
}

TEST(PtyPortList, ListsTheComLinksToADeviceOfTheMapFolderByNumber) {
    PtyDevice device;
    device.Link("COM10", "/dev/null");
    device.Link("COM2", "/dev/null");
    device.Link("COM01", "/dev/null");
    device.Link("printer", "/dev/null");
    device.Link("COM3", (device.Folder() / "unplugged").string());
    device.Link("COM4", device.Folder().string());
    std::vector<std::string> list;
    ListSerialPorts(list);
    EXPECT_THAT(list, ::testing::ElementsAre("COM1", "COM2", "COM10"));
}

TEST(PtyPortList, AnUnreadableMapRaises23WithTheOsErrorAndKeepsTheList) {
    PtyDevice device;
    test::ScopedPorts ports((device.Folder() / "missing").string());
    std::vector<std::string> list{"COM4"};
    try {
        ListSerialPorts(list);
        ADD_FAILURE() << "no ESerialPort raised";
    } catch (const ESerialPort& error) {
        EXPECT_EQ(error.PortErrorCode(), 23);
        EXPECT_EQ(error.WinErrorCode(), ENOENT);
    }
    EXPECT_THAT(list, ::testing::ElementsAre("COM4"));
}

} // namespace
} // namespace kronax
