// A network serial server's bytes, as the input gives them, through the client's Telnet session
// from its opening request on. However the stream is cut, it decodes alike; what the client
// owes in reply never outgrows what came in, every reply is one option verb, and the client
// never agrees to an option it does not offer or accept; no answer outgrows the subnegotiation
// limit.
#include "fuzz/FuzzInput.h"
#include "link/network/TelnetCodec.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace kronax::telnet;
using kronax::fuzz::Fail;

struct Decoded {
    std::string data;
    std::string replies;
    bool settled = false;
    bool accepted = false;
    std::vector<std::optional<std::string>> answers;
};

// Feeds stream in pieces of the sizes cuts gives in turn (a size of 0 counts as 1).
Decoded Decode(const std::string& stream, const std::string& cuts) {
    Session session;
    session.Begin();
    Decoded decoded;
    std::size_t at = 0;
    for (std::size_t turn = 0; at < stream.size(); ++turn) {
        const std::size_t wanted =
            cuts.empty() ? stream.size() : static_cast<std::uint8_t>(cuts[turn % cuts.size()]);
        const std::size_t size = std::min(std::max<std::size_t>(wanted, 1), stream.size() - at);
        session.Receive(stream.data() + at, size, decoded.data, decoded.replies);
        at += size;
    }
    decoded.settled = session.ComPortSettled();
    decoded.accepted = session.ComPortAccepted();
    for (std::uint8_t command : {SetBaudRate, SetDataSize, SetParity, SetStopSize, PurgeData}) {
        const std::string* answer = session.Answer(command);
        decoded.answers.push_back(answer ? std::optional(*answer) : std::nullopt);
    }
    return decoded;
}

void CheckReplies(const std::string& replies) {
    if (replies.size() % 3 != 0)
        Fail("a reply is not one option verb");
    for (std::size_t at = 0; at < replies.size(); at += 3) {
        const auto iac = static_cast<std::uint8_t>(replies[at]);
        const auto verb = static_cast<std::uint8_t>(replies[at + 1]);
        const auto option = static_cast<std::uint8_t>(replies[at + 2]);
        if (iac != Iac || verb < Will || verb > Dont)
            Fail("a reply is not one option verb");
        const bool offered =
            option == OptionBinary || option == OptionSuppressGoAhead || option == OptionComPort;
        const bool accepted = option == OptionBinary || option == OptionSuppressGoAhead;
        if ((verb == Will && !offered) || (verb == Do && !accepted))
            Fail("the client agreed to an option it does not take");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kronax::fuzz::FuzzInput input(data, size);
    const std::string cuts = input.Piece();
    const std::string stream = input.Rest();

    const Decoded whole = Decode(stream, "");
    const Decoded cut = Decode(stream, cuts);
    if (cut.data != whole.data || cut.replies != whole.replies || cut.settled != whole.settled ||
        cut.accepted != whole.accepted || cut.answers != whole.answers)
        Fail("the stream decodes differently when cut otherwise");
    if (whole.data.size() > stream.size())
        Fail("more device bytes came out than went in");
    // Replies at most match the requests they answer, byte for byte: a flood of requests can
    // never make the client owe more than the server sent.
    if (whole.replies.size() > stream.size())
        Fail("the client owes more than the server sent");
    CheckReplies(whole.replies);
    for (const auto& answer : whole.answers)
        if (answer && answer->size() >= MaxSubnegotiation)
            Fail("an answer outgrew the subnegotiation limit");
    return 0;
}
