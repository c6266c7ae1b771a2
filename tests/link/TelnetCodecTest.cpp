#include "link/network/TelnetCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace kronax::telnet {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string text;
    for (int value : values)
        text += static_cast<char>(value);
    return text;
}

struct Received {
    std::string data;
    std::string replies;
};

// Feeds wire to a session whole, or one byte at a time: every cut must decode alike.
Received Feed(Session& session, const std::string& wire, bool byteByByte) {
    Received out;
    if (!byteByByte)
        session.Receive(wire.data(), wire.size(), out.data, out.replies);
    for (std::size_t index = 0; byteByByte && index < wire.size(); ++index)
        session.Receive(wire.data() + index, 1, out.data, out.replies);
    return out;
}

class TelnetSession : public ::testing::TestWithParam<bool> {};

// What ser2net sends on connecting: only its offer to echo is refused, and COM port control is
// taken without a reply that would start the negotiation over.
TEST_P(TelnetSession, TakesTheServersOpeningAndRefusesEcho) {
    Session session;
    EXPECT_EQ(session.Begin(),
              Bytes({Iac, Will, 0, Iac, Do, 0, Iac, Will, 3, Iac, Do, 3, Iac, Will, 44}));
    const std::string opening = Bytes({Iac, Will, 3,  Iac, Do,  3,    Iac, Will, 1,  Iac, Dont,
                                       1,   Iac,  Do, 0,   Iac, Will, 0,   Iac,  Do, 44});
    Received out = Feed(session, opening, GetParam());
    EXPECT_EQ(out.replies, Bytes({Iac, Dont, 1}));
    EXPECT_EQ(out.data, "");
    EXPECT_TRUE(session.ComPortSettled());
    EXPECT_TRUE(session.ComPortAccepted());
    // Asked again, options already on are not answered again; only the refusal is repeated.
    EXPECT_EQ(Feed(session, opening, GetParam()).replies, Bytes({Iac, Dont, 1}));
    // An option not offered is refused each way.
    EXPECT_EQ(Feed(session, Bytes({Iac, Do, 24, Iac, Will, 34}), GetParam()).replies,
              Bytes({Iac, Wont, 24, Iac, Dont, 34}));
}

TEST_P(TelnetSession, ARefusedComPortOptionIsSettledAsRefused) {
    Session session;
    session.Begin();
    Received out = Feed(session, Bytes({Iac, Dont, 44}), GetParam());
    EXPECT_EQ(out.replies, "");
    EXPECT_TRUE(session.ComPortSettled());
    EXPECT_FALSE(session.ComPortAccepted());
}

// Doubled IACs are data, in the stream and in a subnegotiation's value; answers and modem
// states are taken out of the data, and the data before an answer is marked.
TEST_P(TelnetSession, SeparatesDataFromAnswersAndModemStates) {
    Session session;
    session.Begin();
    const std::string wire = std::string("!SM") + Bytes({Iac, Iac}) + "\r" +
                             Bytes({Iac, Sb, 44, 101, 0, 0, 0, Iac, Iac, Iac, Se}) +
                             Bytes({Iac, Sb, 44, 107, 0xB0, Iac, Se}) + "x" +
                             Bytes({Iac, Sb, 44, 112, 3, Iac, Se}) + "late";
    Received out = Feed(session, wire, GetParam());
    EXPECT_EQ(out.data, std::string("!SM") + Bytes({Iac}) + "\rxlate");
    ASSERT_NE(session.Answer(SetBaudRate), nullptr);
    EXPECT_EQ(*session.Answer(SetBaudRate), BaudRateValue(255));
    EXPECT_EQ(session.ModemState(), 0xB0);
    EXPECT_EQ(session.AnswerMark(PurgeData), 6u);
    session.Forget(PurgeData);
    EXPECT_EQ(session.Answer(PurgeData), nullptr);
}

// An endless subnegotiation must not grow without bound: one beyond the limit is ignored, and
// the stream after its end decodes as before.
TEST_P(TelnetSession, ASubnegotiationTooLongToBeAnAnswerIsIgnored) {
    Session session;
    session.Begin();
    const std::string tooLong =
        Bytes({Iac, Sb, 44, 112}) + std::string(MaxSubnegotiation, 'v') + Bytes({Iac, Se}) + "ok";
    Received out = Feed(session, tooLong, GetParam());
    EXPECT_EQ(session.Answer(PurgeData), nullptr);
    EXPECT_EQ(out.data, "ok");
}

INSTANTIATE_TEST_SUITE_P(WholeAndByteByByte, TelnetSession, ::testing::Bool());

TEST(TelnetEscape, DoublesIacsAndCountsTheWholeBytesSent) {
    const std::string data = std::string("a") + Bytes({Iac}) + "b";
    EXPECT_EQ(Escape(data.data(), data.size()), std::string("a") + Bytes({Iac, Iac}) + "b");
    const std::size_t whole[] = {0, 1, 1, 2, 3};
    for (std::size_t sent = 0; sent < 5; ++sent)
        EXPECT_EQ(WholeBytesSent(data.data(), data.size(), sent), whole[sent]) << sent;
    EXPECT_EQ(ComPortCommand(SetBaudRate, BaudRateValue(9600)),
              Bytes({Iac, Sb, 44, 1, 0, 0, 0x25, 0x80, Iac, Se}));
    EXPECT_EQ(ComPortCommand(SetBaudRate, BaudRateValue(0xFF)),
              Bytes({Iac, Sb, 44, 1, 0, 0, 0, Iac, Iac, Iac, Se}));
}

} // namespace
} // namespace kronax::telnet
