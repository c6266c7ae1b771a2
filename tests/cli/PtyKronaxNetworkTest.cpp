#include "tests/cli/CliHarness.h"

#include "sim/Ser2netProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <thread>

// Boards behind ser2net on the loopback address, over RFC 2217 and raw TCP.
namespace kronax::cli::testing {
namespace {

using ::testing::HasSubstr;

// A simulator with ser2net in front of it.
class NetworkBoard {
public:
    NetworkBoard(bool rfc2217, const std::vector<std::string>& simArgs = {})
        : sim_(WithLog(simArgs)),
          server_(std::filesystem::read_symlink(sim_.LinkPath()).string(), rfc2217) {}

    std::string Url() const { return server_.Url(); }
    sim::Ser2netProcess& Server() { return server_; }
    bool ReceivedAny(const std::string& start) const {
        for (const std::string& line : sim::ReceivedLines(scratch_.Path("board.log")))
            if (line.rfind(start, 0) == 0)
                return true;
        return false;
    }
    bool WaitUntilReceived(const std::string& start) const {
        return sim::WaitUntilReceived(scratch_.Path("board.log"), start);
    }
    std::string File(const std::string& name) const { return scratch_.Path(name); }

private:
    std::vector<std::string> WithLog(std::vector<std::string> args) const {
        args.insert(args.end(), {"--log", scratch_.Path("board.log")});
        return args;
    }

    Scratch scratch_;
    sim::SimProcess sim_;
    sim::Ser2netProcess server_;
};

std::string PulseTriggerFile(const NetworkBoard& board) {
    ConfigurationSnapshot s = StartSnapshot();
    s.configuration = {
        .CountsPerRev = 3600, .Multiplier = 2, .Divider = 3, .Alpha = 15, .Beta = 32};
    s.Selected(Selection::SensorType) = sensor_type::PulseTrigger;
    const std::string file = board.File("pulse.kxcfg");
    SaveConfigFile(file, s, false);
    return file;
}

// The parameter: RFC 2217 (true) or raw TCP (false).
class PtyKronaxNetwork : public ::testing::TestWithParam<bool> {};

TEST_P(PtyKronaxNetwork, ReadsAndWritesWithVerify) {
    NetworkBoard board(GetParam());
    Outcome read = Kronax({"read", "--port", board.Url()});
    EXPECT_EQ(read.code, 0) << read.err;
    EXPECT_THAT(read.out, HasSubstr("Sensor Type: Off\n"));
    EXPECT_THAT(read.out, HasSubstr("Beta (0..255): 0\n"));

    Outcome write = Kronax({"write", "--verify", "--port", board.Url(), PulseTriggerFile(board)});
    EXPECT_EQ(write.code, 0) << write.out << write.err;
    EXPECT_TRUE(board.ReceivedAny("##SMCDM0E10"));
    EXPECT_THAT(Kronax({"read", "--port", board.Url()}).out, HasSubstr("Beta (0..255): 32\n"));
}

// Every answer comes after its command's time-out, and the answers to CDM, ABV and TDF have one
// length: none may be taken for the next command's answer.
TEST_P(PtyKronaxNetwork, LateAnswersAreDiscardedAndRefusalsReported) {
    Scratch scratch;
    const std::string state = scratch.Path("late.kxcfg");
    std::ofstream(state) << "[Kronax]\nSEN=010100000000\nCDM=0064\nABV=0102\nTDF=0304\n"
                            "MOD=00000\nMUX=00880\n";
    NetworkBoard late(GetParam(), {"--late", "--state", state});
    Outcome read = Kronax({"read", "--port", late.Url()});
    EXPECT_EQ(read.code, 1);
    std::size_t timeOuts = 0;
    for (std::size_t at = read.out.find(" timeout.\n"); at != std::string::npos;
         at = read.out.find(" timeout.\n", at + 1))
        ++timeOuts;
    EXPECT_EQ(timeOuts, 6u) << read.out;

    NetworkBoard refusing(GetParam(), {"--refuse", "##SMCDM"});
    Outcome write = Kronax({"write", "--port", refusing.Url(), PulseTriggerFile(refusing)});
    EXPECT_EQ(write.code, 1);
    EXPECT_THAT(write.out, HasSubstr("NOT acknowledged"));
}

TEST_P(PtyKronaxNetwork, AServerLostDuringTheWriteIsAPortError) {
    NetworkBoard board(GetParam(), {"--delay", "200"});
    // Cut while the first write waits for its answer.
    bool sent = false;
    std::thread cut([&] {
        sent = board.WaitUntilReceived("##SMSEN");
        board.Server().Stop(SIGKILL);
    });
    Outcome write = Kronax({"write", "--no-read", "--port", board.Url(), PulseTriggerFile(board)});
    cut.join();
    EXPECT_TRUE(sent);
    EXPECT_EQ(write.code, 3);
    EXPECT_THAT(write.err, HasSubstr(board.Url() + ": the port was disconnected "));
    EXPECT_THAT(write.err, HasSubstr(" not sent"));
}

TEST_P(PtyKronaxNetwork, ARefusedConnectionFailsAndARestartedServerServesAgain) {
    NetworkBoard board(GetParam());
    EXPECT_EQ(Kronax({"status", "--port", board.Url()}).code, 0);
    board.Server().Stop(SIGTERM);
    Outcome refused = Kronax({"status", "--port", board.Url()});
    EXPECT_EQ(refused.code, 3);
    EXPECT_EQ(refused.err, board.Url() + ": the port could not be opened: not present\n");
    board.Server().Start();
    Outcome again = Kronax({"status", "--port", board.Url()});
    EXPECT_EQ(again.code, 0) << again.err;
}

INSTANTIATE_TEST_SUITE_P(PtyBothForms, PtyKronaxNetwork, ::testing::Bool(),
                         [](const auto& form) { return form.param ? "Rfc2217" : "RawTcp"; });

enum class Transport { Pty, Rfc2217, RawTcp };

// One board on a transport, and the name kronax reaches it by.
class BoardOn {
public:
    BoardOn(Transport transport, const std::vector<std::string>& simArgs) {
        if (transport == Transport::Pty)
            local_.emplace(SimArgs{simArgs});
        else
            remote_.emplace(transport == Transport::Rfc2217, simArgs);
    }
    std::string Port() const { return local_ ? "COM1" : remote_->Url(); }

private:
    std::optional<Boards> local_;
    std::optional<NetworkBoard> remote_;
};

class PtyKronaxLateAnswerAcrossRuns : public ::testing::TestWithParam<Transport> {};

// A late answer to a command of one run reaches the port while the next run talks on it (a
// server passes it on to whoever connects next): the next run must never take it for its own.
TEST_P(PtyKronaxLateAnswerAcrossRuns, TheNextRunNeverTakesTheLateAnswerToTheLastRunsCommand) {
    const BoardOn board(GetParam(), {"--late-command", "##SMSTA=1300", "--refuse", "##SMSETP"});
    const Outcome start = Kronax({"start", "--port", board.Port()});
    EXPECT_EQ(start.code, 1);
    EXPECT_THAT(start.out, HasSubstr("Start timeout."));
    const Outcome setDefault = Kronax({"set-default", "--port", board.Port()});
    EXPECT_EQ(setDefault.code, 1);
    EXPECT_THAT(setDefault.out, HasSubstr("Setting power on defaults NOT acknowledged."));
}

INSTANTIATE_TEST_SUITE_P(PtyEveryTransport, PtyKronaxLateAnswerAcrossRuns,
                         ::testing::Values(Transport::Pty, Transport::Rfc2217, Transport::RawTcp),
                         [](const auto& transport) {
                             switch (transport.param) {
                             case Transport::Pty:
                                 return "Pty";
                             case Transport::Rfc2217:
                                 return "Rfc2217";
                             case Transport::RawTcp:
                                 return "RawTcp";
                             }
                             return "";
                         });

TEST(PtyKronaxNetworkMap, AMappedPortIsListedWithItsUrlAndReachedByNumber) {
    Boards local(1);
    NetworkBoard remote(true);
    std::ofstream(std::string(std::getenv("KRONAX_PORTS")) + "/ports.ini")
        << "[ports]\nCOM7 = " << remote.Url() << "\n";
    Outcome ports = Kronax({"ports"});
    EXPECT_THAT(ports.out, HasSubstr("COM7 \u00b7 " + remote.Url() + "\n"));
    Outcome read = Kronax({"read", "--all"});
    EXPECT_EQ(read.code, 0) << read.err;
    EXPECT_THAT(read.out, HasSubstr("COM1: Sensor Type: Off\n"));
    EXPECT_THAT(read.out, HasSubstr("COM7: Sensor Type: Off\n"));
}

} // namespace
} // namespace kronax::cli::testing
