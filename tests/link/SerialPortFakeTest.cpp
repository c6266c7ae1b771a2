#include "exchange/CommandTransaction.h"
#include "link/SerialPort.h"
#include "tests/fakes/FakeCommandPort.h"
#include "tests/fakes/FakeSerialPlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace kronax {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr int OsError = 31;

// Runs statement, which must raise ESerialPort with code and OS error, and returns its text.
std::string FailureText(const std::function<void()>& statement, int code, int osError) {
    try {
        statement();
    } catch (const ESerialPort& error) {
        EXPECT_EQ(error.PortErrorCode(), code);
        EXPECT_EQ(error.WinErrorCode(), osError);
        return error.what();
    }
    ADD_FAILURE() << "no ESerialPort raised";
    return {};
}

class SerialPortOverFake : public ::testing::Test {
protected:
    // Opens the port and, once its watcher waits, forgets the calls made so far.
    void OpenAndForgetCalls() {
        port.OpenPort();
        ASSERT_TRUE(fake.AwaitLineWaiter(std::chrono::seconds(10)));
        fake.ClearCalls();
    }

    FakeSerialPlatform fake;
    UiDispatcher dispatcher;
    TSerialPort port{fake};

    void SetUp() override { port.SetDispatcher(dispatcher); }
};

TEST_F(SerialPortOverFake, OpeningMakesExactlyTheDocumentedCallsInOrder) {
    port.OpenPort();
    EXPECT_THAT(fake.Calls(),
                ElementsAre("OpenDevice COM1", "SetupQueues 1024 1024", "SetLineSettings",
                            "SetTimeouts", "NewEvent 0", "SetEventMask 0x5FF", "GetModemStatus",
                            "GetModemStatus", "GetModemStatus"));
    EXPECT_TRUE(port.Connected());
    EXPECT_TRUE(port.WatcherStarted());
}

TEST_F(SerialPortOverFake, LineSettingsAreRaw9600EightNoneOneWithoutFlowControl) {
    port.OpenPort();
    SerialDcb expected;
    expected.DCBlength = 28;
    expected.BaudRate = 9600;
    expected.Flags = 1;
    expected.XonLim = 256;
    expected.XoffLim = 256;
    expected.ByteSize = 8;
    expected.XonChar = 0x11;
    expected.XoffChar = 0x13;
    EXPECT_EQ(fake.LastDcb(), expected);
}

TEST_F(SerialPortOverFake, TimeoutsMakeReadsReturnAtOnceAndBoundWrites) {
    port.OpenPort();
    EXPECT_EQ(fake.LastTimeouts(), (SerialTimeouts{0xFFFFFFFF, 0, 0, 100, 1000}));
}

TEST_F(SerialPortOverFake, FlowControlAndParityPropertiesReachTheirDcbFields) {
    port.Parity().SetCheck(true);
    port.Parity().SetReplace(true);
    port.Parity().SetReplaceChar('?');
    port.FlowControl().SetControlDTR(TDTRFlowControl::dtrHandshake);
    port.FlowControl().SetControlRTS(TRTSFlowControl::rtsToggle);
    port.FlowControl().SetXonXoffIn(true);
    port.SetDiscardNull(true);
    port.SetStopBits(TStopBits::sbTwoStopBits);
    port.SetDataBits(TDataBits::dbSeven);
    port.OpenPort();
    SerialDcb dcb = fake.LastDcb();
    EXPECT_EQ(dcb.Flags, 0x1u | 0x2 | 0x20 | 0x200 | 0x400 | 0x800 | 0x3000);
    EXPECT_EQ(dcb.ErrorChar, '?');
    EXPECT_EQ(dcb.StopBits, 2);
    EXPECT_EQ(dcb.ByteSize, 7);
}

TEST_F(SerialPortOverFake, PurgeFlagsSelectTheQueuesAndClosingAbortsTransfers) {
    OpenAndForgetCalls();
    port.PurgeBuffers(true, true);
    port.PurgeBuffers(true, false);
    port.PurgeBuffers(false, true);
    port.ClosePort();
    EXPECT_THAT(fake.Calls(), ElementsAre("Purge 12", "Purge 8", "Purge 4", "Purge 3",
                                          "SignalEvent", "CloseEvent", "CloseDevice"));
    EXPECT_THAT(fake.OtherThreadCalls(), ElementsAre("SetEventMask 0x0", "Purge 12", "CloseEvent"));
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(fake.OpenEventCount(), 0);
}

struct OpenFailure {
    const char* call;
    int code;
    const char* text;
    bool staysOpen;
};

TEST_F(SerialPortOverFake, EachFailingOpeningStepRaisesItsCodeAndLeavesTheListedState) {
    const OpenFailure failures[] = {
        {"OpenDevice", 1, "Unable to open com port", false},
        {"SetupQueues", 9, "SetupComm function failed", false},
        {"SetLineSettings", 7, "SetCommState function failed", false},
        {"SetTimeouts", 8, "SetCommTimeouts failed", false},
        {"GetModemStatus", 11, "GetCommModemStatus function failed", true},
    };
    for (const OpenFailure& failure : failures) {
        SCOPED_TRACE(failure.call);
        FakeSerialPlatform platform;
        TSerialPort failing(platform);
        platform.Fail(failure.call, OsError);
        EXPECT_EQ(FailureText([&] { failing.OpenPort(); }, failure.code, OsError),
                  std::string(failure.text) + " (win error code: 31)");
        EXPECT_EQ(failing.Connected(), failure.staysOpen);
        EXPECT_EQ(failing.WatcherStarted(), failure.staysOpen);
        EXPECT_EQ(platform.OpenDeviceCount(), failure.staysOpen ? 1 : 0);
        EXPECT_EQ(failing.Device() != InvalidDeviceHandle, failure.staysOpen);
        platform.Succeed(failure.call);
    }
}

TEST_F(SerialPortOverFake, FailingTransfersRaiseTheirCodeKeepThePortOpenAndReleaseTheRequest) {
    struct TransferFailure {
        const char* call;
        int code;
        std::function<void()> run;
    };
    std::string text;
    const TransferFailure failures[] = {
        {"Purge", 5,
         [&] {
             port.PurgeBuffers(true, true);
         }},
        {"Write", 2,
         [&] {
             port.WriteText("??SMSTA\r");
         }},
        {"Read", 3,
         [&] {
             port.ReadText(text, 1000);
         }},
        {"ClearErrors", 10,
         [&] {
             port.ReadText(text, 1000);
         }},
        {"WaitForInput", 3,
         [&] {
             port.WaitForInput(10);
         }},
    };
    OpenAndForgetCalls();
    // The first read makes the event that reads keep while the port is open.
    port.ReadText(text, 1000);
    int eventsWhileOpen = fake.OpenEventCount();
    for (const TransferFailure& failure : failures) {
        SCOPED_TRACE(failure.call);
        fake.Fail(failure.call, OsError);
        FailureText(failure.run, failure.code, OsError);
        fake.Succeed(failure.call);
        EXPECT_TRUE(port.Connected());
        EXPECT_EQ(fake.OpenEventCount(), eventsWhileOpen);
    }
}

TEST_F(SerialPortOverFake, FailingAbortOnCloseLeavesThePortOpenWithItsWatcher) {
    OpenAndForgetCalls();
    fake.Fail("Purge", OsError);
    EXPECT_EQ(FailureText([&] { port.ClosePort(); }, 5, OsError),
              "PurgeComm function failed (win error code: 31)");
    EXPECT_TRUE(port.Connected());
    EXPECT_TRUE(port.WatcherStarted());
    EXPECT_THAT(fake.Calls(), Not(Contains("CloseDevice")));
    fake.Succeed("Purge");
    port.ClosePort();
    EXPECT_FALSE(port.Connected());
}

TEST_F(SerialPortOverFake, DestroyingAPortWhoseAbortFailsStillFreesDeviceAndWatcher) {
    {
        TSerialPort doomed(fake);
        doomed.SetDispatcher(dispatcher);
        doomed.OpenPort();
        fake.Fail("Purge", OsError);
    }
    EXPECT_EQ(fake.OpenDeviceCount(), 0);
    EXPECT_EQ(fake.OpenEventCount(), 0);
}

TEST_F(SerialPortOverFake, AClosedPortFailsInItsFirstPlatformCallNeverReachingADevice) {
    port.OpenPort();
    port.ClosePort();
    std::string text = "stale";
    const int invalid = FakeSerialPlatform::InvalidHandleError;
    FailureText([&] { port.PurgeBuffers(true, true); }, 5, invalid);
    FailureText([&] { port.WriteText("x"); }, 2, invalid);
    FailureText([&] { port.ReadText(text, 1000); }, 3, invalid);
    EXPECT_EQ(fake.Written(), "");
}

TEST_F(SerialPortOverFake, EmptyTransfersReturnZeroWithoutAnyPlatformCall) {
    OpenAndForgetCalls();
    std::string text = "stale";
    EXPECT_EQ(port.WriteText(""), 0);
    EXPECT_EQ(port.ReadText(text, 0), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(port.ReadText(text, -5), 0);
    EXPECT_THAT(fake.Calls(), IsEmpty());
}

TEST_F(SerialPortOverFake, ReadHandsOverAtMostCountQueuedBytesUnchanged) {
    port.OpenPort();
    fake.QueueInput(std::string("A\0\x11\x13\r\n", 6) + std::string(1494, 'x'));
    std::string text;
    EXPECT_EQ(port.ReadText(text, 1000), 1000);
    EXPECT_EQ(text.substr(0, 6), std::string("A\0\x11\x13\r\n", 6));
    EXPECT_EQ(port.ReadText(text, 1000), 500);
    EXPECT_EQ(text, std::string(500, 'x'));
    EXPECT_EQ(port.ReadText(text, 1000), 0);
    EXPECT_EQ(text, "");
}

TEST_F(SerialPortOverFake, TransactionWaitsInThePlatformForTheTimeLeftAndReadsReuseOneEvent) {
    OpenAndForgetCalls();
    test::FakeTick ticks({0, 0, 300, 300, 400, 400, 400}, 0);
    test::FakeTrafficLog log;
    test::FakePortRecords records;
    CommandTransaction transaction(port, ticks, log, records);
    std::string reply;
    // A wake-up with nothing to read, then the answer.
    fake.ArriveDuringWaits({"", "!SMACK\r"});
    EXPECT_TRUE(transaction.TransactCommand("##SMSTA\r", reply, 1000));
    EXPECT_THAT(fake.Calls(),
                ElementsAre("Purge 12", "NewEvent 1", "Write 8", "CloseEvent", "NewEvent 1",
                            "Read 1000", "ClearErrors", "WaitForInput 1001", "Read 1000",
                            "ClearErrors", "WaitForInput 701", "Read 1000", "ClearErrors"));
    EXPECT_EQ(reply, "!SMACK\r");

    fake.ClearCalls();
    fake.ArriveDuringWaits({"!SMACK\r"});
    EXPECT_TRUE(transaction.TransactCommand("##SMSTA\r", reply, 1000));
    EXPECT_THAT(fake.Calls(),
                ElementsAre("Purge 12", "NewEvent 1", "Write 8", "CloseEvent", "Read 1000",
                            "ClearErrors", "WaitForInput 1001", "Read 1000", "ClearErrors"));
    port.ClosePort();
    EXPECT_EQ(fake.OpenEventCount(), 0);
}

TEST_F(SerialPortOverFake, WriteSendsTheBytesUnchangedAndReturnsTheirNumber) {
    port.OpenPort();
    std::string command("##SMSEN\0\x11\r", 10);
    EXPECT_EQ(port.WriteText(command), 10);
    EXPECT_EQ(fake.Written(), command);
}

TEST_F(SerialPortOverFake, OpenOnAnOpenPortAndCloseOnAClosedPortDoNothing) {
    port.ClosePort();
    EXPECT_THAT(fake.Calls(), IsEmpty());
    OpenAndForgetCalls();
    port.OpenPort();
    EXPECT_THAT(fake.Calls(), IsEmpty());
}

TEST_F(SerialPortOverFake, AssigningConnectedOpensAndCloses) {
    port.SetConnected(true);
    EXPECT_TRUE(port.Connected());
    port.SetConnected(false);
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(fake.OpenDeviceCount(), 0);
}

TEST_F(SerialPortOverFake, AssigningTheSamePortNameDoesNothingEvenWhileOpen) {
    OpenAndForgetCalls();
    port.SetPort("COM1");
    EXPECT_THAT(fake.Calls(), IsEmpty());
}

TEST_F(SerialPortOverFake, AssigningANewPortNameWhileOpenReopensUnderIt) {
    OpenAndForgetCalls();
    port.SetPort("COM3");
    EXPECT_TRUE(port.Connected());
    EXPECT_THAT(fake.Calls(), Contains("OpenDevice COM3"));
    EXPECT_EQ(fake.OpenDeviceCount(), 1);
}

TEST_F(SerialPortOverFake, PortNameComparisonIsCaseSensitiveAndClosedPortJustStoresIt) {
    port.SetPort("com1");
    EXPECT_EQ(port.Port(), "com1");
    EXPECT_THAT(fake.Calls(), IsEmpty());
}

TEST_F(SerialPortOverFake, ChangingSyncMethodWhileOpenRaises14AndKeepsTheOldValue) {
    port.OpenPort();
    port.SetSyncMethod(TSyncMethod::smThreadSync);
    EXPECT_EQ(FailureText([&] { port.SetSyncMethod(TSyncMethod::smNone); }, 14, -1),
              "Cannot set property while connected");
    EXPECT_EQ(port.SyncMethod(), TSyncMethod::smThreadSync);
    port.ClosePort();
    port.SetSyncMethod(TSyncMethod::smNone);
    EXPECT_EQ(port.SyncMethod(), TSyncMethod::smNone);
}

TEST_F(SerialPortOverFake, ChangedSettingsApplyAtOnceWhileOpenAndUnchangedOnesDoNot) {
    OpenAndForgetCalls();
    port.SetBaudRate(TBaudRate::br9600);
    port.Timeouts().SetWriteTotalConstant(1000);
    port.Buffer().SetInputSize(1024);
    EXPECT_THAT(fake.Calls(), IsEmpty());
    port.SetBaudRate(TBaudRate::br19200);
    port.Timeouts().SetWriteTotalConstant(500);
    port.Buffer().SetOutputSize(2048);
    EXPECT_THAT(fake.Calls(),
                ElementsAre("SetLineSettings", "SetTimeouts", "SetupQueues 1024 2048"));
    EXPECT_EQ(fake.LastDcb().BaudRate, 19200u);
    EXPECT_EQ(fake.LastTimeouts().WriteTotalTimeoutConstant, 500u);
}

TEST_F(SerialPortOverFake, SettingsChangedWhileClosedWaitForTheNextOpening) {
    port.SetBaudRate(TBaudRate::brCustom);
    port.SetCustomBaudRate(31250);
    EXPECT_THAT(fake.Calls(), IsEmpty());
    port.OpenPort();
    EXPECT_EQ(fake.LastDcb().BaudRate, 31250u);
}

TEST_F(SerialPortOverFake, OddQueueSizesAreStoredOneLessAndSizeTheXonLimits) {
    port.Buffer().SetInputSize(1025);
    EXPECT_EQ(port.Buffer().InputSize(), 1024);
    port.Buffer().SetInputSize(2001);
    port.Buffer().SetOutputSize(513);
    EXPECT_EQ(port.Buffer().InputSize(), 2000);
    EXPECT_EQ(port.Buffer().OutputSize(), 512);
    port.OpenPort();
    EXPECT_THAT(fake.Calls(), Contains("SetupQueues 2000 512"));
    EXPECT_EQ(fake.LastDcb().XonLim, 500);
    EXPECT_EQ(fake.LastDcb().XoffLim, 500);
}

TEST_F(SerialPortOverFake, AssigningAWholeSettingsObjectCopiesItAndAppliesTheGroup) {
    FakeSerialPlatform otherPlatform;
    TSerialPort other(otherPlatform);
    other.Timeouts().SetReadInterval(5);
    other.Timeouts().SetWriteTotalMultiplier(7);
    OpenAndForgetCalls();
    port.SetTimeouts(other.Timeouts());
    EXPECT_EQ(port.Timeouts().WriteTotalMultiplier(), 7);
    EXPECT_THAT(fake.Calls(), ElementsAre("SetTimeouts"));
    EXPECT_EQ(fake.LastTimeouts(), (SerialTimeouts{5, 0, 0, 7, 1000}));
}

TEST_F(SerialPortOverFake, ModemLinesReachTheHooksAfterOpeningAndReadAsOffBeforeClosing) {
    std::vector<std::string> seen;
    port.OnCTSChange = [&](bool on) {
        seen.push_back(on ? "CTS on" : "CTS off");
    };
    port.OnDSRChange = [&](bool on) {
        seen.push_back(on ? "DSR on" : "DSR off");
    };
    port.OnRLSDChange = [&](bool on) {
        seen.push_back(on ? "RLSD on" : "RLSD off");
    };
    port.OnAfterOpen = [&] {
        seen.push_back("after open");
    };
    port.OnBeforeClose = [&] {
        seen.push_back("before close");
    };
    fake.SetModemStatus(MsCtsOn | MsRlsdOn);
    port.OpenPort();
    port.ClosePort();
    EXPECT_THAT(seen, ElementsAre("after open", "CTS on", "DSR off", "RLSD on", "CTS off",
                                  "DSR off", "RLSD off", "before close"));
}

TEST(ESerialPort, TextCarriesTheOsErrorOnlyWhenThereIsOne) {
    struct Case {
        int code;
        int osError;
        const char* text;
    };
    const Case cases[] = {
        {1, 2, "Unable to open com port (win error code: 2)"},
        {4, -1, "Invalid Async parameter"},
        {14, -1, "Cannot set property while connected"},
        {22, 0, "A component is linked to OnRxBuf event (win error code: 0)"},
        {23, 259, "Registry error (win error code: 259)"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(ESerialPort(c.code, c.osError).what(), c.text);
}

} // namespace
} // namespace kronax
