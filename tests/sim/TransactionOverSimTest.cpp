#include "CommandTransaction.h"
#include "SerialPort.h"
#include "SimProcess.h"
#include "SteadyTickSource.h"
#include "UiDispatcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>
#include <vector>

namespace kronax::sim {
namespace {

using namespace std::chrono_literals;
using testing::SimProcess;

// Bounds waits that only a fault would make long.
constexpr auto HangLimit = 10s;

class CollectingLog : public ITrafficLog {
public:
    std::vector<std::string> lines;
    void AppendLine(const std::string& line) override { lines.push_back(line); }
};

// Points KRONAX_PORTS at folder for the lifetime of the object, so that the port's COM names
// reach the simulator's device map.
class ScopedPortsFolder {
public:
    explicit ScopedPortsFolder(const std::string& folder) {
        if (const char* old = std::getenv("KRONAX_PORTS"))
            old_ = old;
        setenv("KRONAX_PORTS", folder.c_str(), 1);
    }
    ~ScopedPortsFolder() {
        if (old_)
            setenv("KRONAX_PORTS", old_->c_str(), 1);
        else
            unsetenv("KRONAX_PORTS");
    }

private:
    std::optional<std::string> old_;
};

// The real serial port on the simulator's published COM1, with the transaction on it. The
// port's watcher reports arrivals through a private dispatcher, so that a test can wait for
// bytes to be queued without taking them.
struct Link {
    explicit Link(const std::vector<std::string>& simArgs, bool open = true)
        : sim(simArgs), ports(sim.Folder()) {
        port.SetDispatcher(dispatcher);
        port.OnRxChar = [this](int count) {
            queued = count;
        };
        if (open)
            port.OpenPort();
    }

    // Runs the watcher's deliveries until at least count bytes wait in the receive queue.
    bool WaitUntilQueued(int count) {
        const auto end = std::chrono::steady_clock::now() + HangLimit;
        while (std::chrono::steady_clock::now() < end) {
            dispatcher.RunPending();
            if (queued >= count)
                return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }

    SimProcess sim;
    ScopedPortsFolder ports;
    UiDispatcher dispatcher;
    int queued = 0;
    TSerialPort port;
    TSteadyTickSource ticks;
    CollectingLog log;
    TCommandTransaction transaction{port, ticks, log};
};

std::vector<std::string> ReceivedLines(const std::string& simLog) {
    std::ifstream in(simLog);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (line.find(" RX ") != std::string::npos)
            lines.push_back(line.substr(line.find(" RX ") + 4));
    return lines;
}

TEST(TransactionOverSim, ClosedPortSendsNothingLogsNothingAndEmptiesTheReply) {
    const std::string simLog = ::testing::TempDir() + "kronax-closed-port-sim.log";
    std::filesystem::remove(simLog);
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
    std::filesystem::remove(simLog);
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
