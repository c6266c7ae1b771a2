// Whole-configuration reads and writes and the single commands over a scripted port that hands
// over whatever the input says the board sent: every command goes out whole and is logged once,
// the exchanges end, and a configuration read from any answers still encodes to proper payloads.
#include "fuzz/FuzzInput.h"
#include "protocol/BoardChannel.h"
#include "protocol/BoardCommands.h"
#include "protocol/BoardReplies.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/OutcomeText.h"
#include "protocol/PayloadCodec.h"
#include "tests/fakes/FakeCommandPort.h"

#include <string>

namespace {

using namespace kronax;
using kronax::fuzz::Fail;
using kronax::test::FakeCommandPort;
using kronax::test::FakeTick;
using kronax::test::FakeTrafficLog;

// Every logged line must start with the command it belongs to, its CR shown as "\r".
void CheckLog(const std::string& written, const FakeTrafficLog& log) {
    std::size_t from = 0;
    for (const std::string& line : log.lines) {
        const std::size_t end = written.find('\r', from);
        if (end == std::string::npos)
            Fail("more log lines than commands");
        const std::string command = written.substr(from, end - from) + "\\r | ";
        if (!line.starts_with(command))
            Fail("a log line does not start with its command");
        from = end + 1;
    }
    if (from != written.size())
        Fail("a command was not logged");
}

void CheckConfiguration(const MemoryConfigurationView& view) {
    for (PayloadKind kind : PayloadKinds) {
        if (EncodePayload(kind, view.Snapshot()).size() != PayloadLength(kind))
            Fail("a configuration read from the board encodes to the wrong length");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kronax::fuzz::TFuzzInput input(data, size);
    // At least 10 ms a reading, so that an exchange without CR ends within about 100 reads.
    const std::uint32_t step = 10u + input.Byte() % 200u;
    FakeCommandPort port;
    port.queue = input.Piece();
    while (!input.Empty())
        port.arrivals.push_back(input.Piece());
    FakeTick tick({0}, step);
    FakeTrafficLog log;
    TBoardChannel channel(port, tick, log);
    MemoryConfigurationView view;

    ReportText(ReadConfiguration(view, channel));
    CheckConfiguration(view);
    ReportText(WriteConfiguration(view, channel));
    CommandOutcomeText(SendStartCommand(channel));
    CommandOutcomeText(RequestStatus(channel));
    CommandOutcomeText(SendPowerOnDefaultCommand(channel));
    CommandOutcomeText(RequestBoardInformation(channel));
    CheckLog(port.written, log);
    return 0;
}
