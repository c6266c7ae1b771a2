#include "tests/sim/SimLink.h"
#include "tests/support/ScopedTempFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

namespace kronax::sim {
namespace {

TEST(TransactionOverSim, ClosedPortSendsNothingLogsNothingAndEmptiesTheReply) {
    const test::ScopedTempFile simLogFile("closed-port-sim.log");
    const std::string& simLog = simLogFile.Path();
    Link link({"--log", simLog}, false);
    std::string reply = "left over";
    EXPECT_FALSE(link.transaction.TransactCommand("??SMSTA\r", reply, 1000)) << "never opened";
    EXPECT_EQ(reply, "");
    link.port.OpenPort();
    link.port.ClosePort();
    reply = "left over";
    EXPECT_FALSE(link.transaction.TransactCommand("##SMSTA\r", reply, 1000)) << "closed again";
    EXPECT_EQ(reply, "");
    EXPECT_TRUE(link.log.lines.empty());

    // Once an exchange has gone through, the simulator has logged every line it received.
    link.port.OpenPort();
    ASSERT_TRUE(link.transaction.TransactCommand("??SMCDM\r", reply, 1000));
    EXPECT_EQ(ReceivedLines(simLog), std::vector<std::string>{"??SMCDM\\r"});
}

struct ReplyCase {
    const char* fault;
    std::vector<std::string> simArgs;
    std::string command;
    std::int32_t timeout;
    bool found;
    std::string reply;
    std::string logLine;
};

// The simulator's default configuration answers "??SMSEN" with "!SM010100000000".
const ReplyCase ReplyCases[] = {
    {"none", {}, "??SMSEN\r", 1000, true, "!SM010100000000\r", "??SMSEN\\r | !SM010100000000\\r"},
    {"pieces",
     {"--split", "2", "--split-pause", "20"},
     "??SMSEN\r",
     1000,
     true,
     "!SM010100000000\r",
     "??SMSEN\\r | !SM010100000000\\r"},
    {"CR LF in one burst",
     {"--crlf"},
     "??SMCDM\r",
     1000,
     true,
     "!SM0001\r\n",
     "??SMCDM\\r | !SM0001\\r\n"},
    {"garbage line",
     {"--garbage"},
     "##SMSTA\r",
     1000,
     true,
     "#~GARBAGE~%\r",
     "##SMSTA\\r | #~GARBAGE~%\\r"},
    {"silent", {"--silent"}, "??SMSTA\r", 300, false, "", "??SMSTA\\r | "},
    // The rest of the answer follows long after the time-out has passed.
    {"first piece only",
     {"--split", "3", "--split-pause", "60000"},
     "??SMSEN\r",
     2000,
     false,
     "!SM",
     "??SMSEN\\r | !SM"},
};

TEST(TransactionOverSim, ReplyIsCollectedUntilItsCrOrTheTimeOutAndLoggedAsCollected) {
    for (const ReplyCase& c : ReplyCases) {
        SCOPED_TRACE(c.fault);
        Link link(c.simArgs);
        std::string reply;
        EXPECT_EQ(link.transaction.TransactCommand(c.command, reply, c.timeout), c.found);
        EXPECT_EQ(reply, c.reply);
        EXPECT_EQ(link.log.lines, std::vector<std::string>{c.logLine});
    }
}

TEST(TransactionOverSim, StaleBytesWaitingBeforeTheCommandNeverReachTheReply) {
    Link link({});
    link.port.WriteText("??SMSEN\r");
    ASSERT_TRUE(link.WaitUntilQueued(16)) << "the stale answer never came";
    std::string reply;
    EXPECT_TRUE(link.transaction.TransactCommand("??SMCDM\r", reply, 1000));
    EXPECT_EQ(reply, "!SM0001\r");
    EXPECT_EQ(link.log.lines.back(), "??SMCDM\\r | !SM0001\\r");
}

TEST(TransactionOverSim, LateAnswerNeverBecomesTheNextCommandsAnswer) {
    Link link({"--late"});
    std::string reply;
    EXPECT_FALSE(link.transaction.TransactCommand("##SMSTA\r", reply, 1000));
    EXPECT_EQ(reply, "");
    ASSERT_TRUE(link.WaitUntilQueued(7)) << "the late answer never came";
    EXPECT_FALSE(link.transaction.TransactCommand("??SMSTA\r", reply, 1000));
    EXPECT_EQ(reply, "");
    EXPECT_EQ(link.log.lines.back(), "??SMSTA\\r | ");
}

} // namespace
} // namespace kronax::sim
