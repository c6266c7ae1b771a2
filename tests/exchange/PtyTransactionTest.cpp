#include "exchange/CommandTransaction.h"
#include "exchange/SteadyTickSource.h"
#include "tests/fakes/FakeCommandPort.h"
#include "tests/link/PtyPortTest.h"

#include <gtest/gtest.h>

#include <future>

namespace kronax {
namespace {

using Clock = std::chrono::steady_clock;

class PtyTransaction : public PtyPortTest {
protected:
    SteadyTickSource ticks;
    test::FakeTrafficLog log;
    CommandTransaction transaction{port, ticks, log};
    std::string reply;
};

TEST_F(PtyTransaction, FloodIsKeptToTheBoundWithItsCrStillFoundAndTheLogLineMarkedCut) {
    const std::string flood(64 * 1024, 'x');
    struct Case {
        std::string end;
        bool found;
        std::string cut;
    };
    const Case cases[] = {{"", false, " [cut: 61440 more characters]"},
                          {"\r", true, " [cut: 61441 more characters]"}};
    for (const Case& c : cases) {
        // The board floods once it has the command, so that the flood is not purged.
        auto board = std::async(std::launch::async, [&] {
            return device.Receive(8) == "??SMSTA\r" && device.SendWithin(flood + c.end);
        });
        EXPECT_EQ(transaction.TransactCommand("??SMSTA\r", reply, 500), c.found);
        EXPECT_TRUE(board.get()) << "the flood was not taken";
        EXPECT_TRUE(reply == flood.substr(0, MaxReplyKept)) << "kept " << reply.size();
        EXPECT_TRUE(log.lines.back() == "??SMSTA\\r | " + reply + c.cut)
            << "log line of " << log.lines.back().size() << " characters";
    }
}

TEST_F(PtyTransaction, WaitForInputEndsWhenACharacterArrivesOrTheTimeHasPassedAndRaisesOnHangUp) {
    Clock::time_point start = Clock::now();
    port.WaitForInput(100);
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(99)) << "nothing came";
    EXPECT_EQ(port.ReadText(reply, 1000), 0);

    auto board = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        device.Send("!");
    });
    start = Clock::now();
    port.WaitForInput(60000);
    EXPECT_LT(Clock::now() - start, HangLimit) << "the arriving character did not end the wait";
    board.get();
    EXPECT_EQ(port.ReadText(reply, 1000), 1);

    device.Vanish();
    start = Clock::now();
    try {
        port.WaitForInput(60000);
        ADD_FAILURE() << "wait on a hung-up line did not raise";
    } catch (const ESerialPort& error) {
        EXPECT_EQ(error.PortErrorCode(), 3);
    }
    EXPECT_LT(Clock::now() - start, HangLimit);
}

} // namespace
} // namespace kronax
