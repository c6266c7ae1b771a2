#include "CommandTransaction.h"
#include "SimProcess.h"
#include "SteadyTickSource.h"
#include "TermiosCommandPort.h"

#include <gtest/gtest.h>

#include <vector>

namespace kronax::sim {
namespace {

using testing::SimProcess;
using testing::TermiosCommandPort;

class CollectingLog : public ITrafficLog {
public:
    std::vector<std::string> lines;
    void AppendLine(const std::string& line) override { lines.push_back(line); }
};

struct Link {
    explicit Link(const std::vector<std::string>& simArgs) : sim(simArgs), port(sim.LinkPath()) {}

    SimProcess sim;
    TermiosCommandPort port;
    TSteadyTickSource ticks;
    CollectingLog log;
    TCommandTransaction transaction{port, ticks, log};
};

TEST(TransactionOverSim, AnswerSentInPiecesIsCollectedWhole) {
    Link link({"--split", "2", "--split-pause", "20"});
    std::string reply;
    EXPECT_TRUE(link.transaction.TransactCommand("??SMSEN\r", reply, 1000));
    EXPECT_EQ(reply, "!SM010100000000\r");
    EXPECT_EQ(link.log.lines.back(), "??SMSEN\\r | !SM010100000000\\r");
}

TEST(TransactionOverSim, LfSentWithTheCrInOneBurstStaysInTheReply) {
    Link link({"--crlf"});
    std::string reply;
    EXPECT_TRUE(link.transaction.TransactCommand("??SMCDM\r", reply, 1000));
    EXPECT_EQ(reply, "!SM0001\r\n");
}

TEST(TransactionOverSim, LateAnswerNeverBecomesTheNextCommandsAnswer) {
    Link link({"--late"});
    std::string reply;
    EXPECT_FALSE(link.transaction.TransactCommand("##SMSTA\r", reply, 1000));
    EXPECT_EQ(reply, "");
    ASSERT_TRUE(link.port.WaitForPendingInput(10000)) << "the late answer never came";
    EXPECT_FALSE(link.transaction.TransactCommand("??SMSTA\r", reply, 1000));
    EXPECT_EQ(reply, "");
    EXPECT_EQ(link.log.lines.back(), "??SMSTA\\r | ");
}

} // namespace
} // namespace kronax::sim
