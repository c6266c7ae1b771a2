// Whole-configuration reads and writes and the single commands over a scripted port that hands
// over whatever the input says the board sent. Every command goes out whole and the traffic log
// holds exactly the lines the transaction writes; the reports, the values read and the single
// commands' texts are those of a reference written from the protocol's rules, from the exchanges
// as the channel handed them over.
#include "fuzz/FuzzInput.h"
#include "fuzz/ReferenceOutcomes.h"
#include "protocol/BoardChannel.h"
#include "protocol/BoardCommands.h"
#include "protocol/BoardReplies.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/OutcomeText.h"
#include "tests/fakes/FakeCommandPort.h"

#include <string>
#include <vector>

namespace {

using namespace kronax;
using kronax::fuzz::Exchange;
using kronax::fuzz::Fail;
using kronax::test::FakeCommandPort;
using kronax::test::FakeTick;
using kronax::test::FakeTrafficLog;

// Passes every exchange on and keeps it as the channel's user saw it.
class RecordingChannel : public ICommandChannel {
public:
    explicit RecordingChannel(ICommandChannel& channel) : channel_(channel) {}

    std::vector<Exchange> exchanges;

    bool TransactCommand(const std::string& command, std::string& reply,
                         std::int32_t timeout) override {
        const bool answered = channel_.TransactCommand(command, reply, timeout);
        exchanges.push_back({command, answered, reply});
        return answered;
    }

    // The exchanges from index from on.
    std::vector<Exchange> From(std::size_t from) const {
        return {exchanges.begin() + static_cast<std::ptrdiff_t>(from), exchanges.end()};
    }

private:
    ICommandChannel& channel_;
};

std::string Visible(const std::string& text) {
    std::string line;
    for (char c : text)
        line += c == '\r' ? std::string("\\r") : std::string(1, c);
    return line;
}

bool IsLine(const std::string& line, const std::string& expected) {
    const std::string cut = " [cut: ";
    return line == expected ||
           (line.starts_with(expected + cut) && line.ends_with(" more characters]"));
}

// Per command: the late answer to the command before it, when that one went unanswered and
// something came after all, then the command's own line with the reply as handed over.
void CheckLog(const std::vector<Exchange>& exchanges, const FakeTrafficLog& log) {
    std::size_t next = 0;
    for (std::size_t i = 0; i < exchanges.size(); ++i) {
        const Exchange& exchange = exchanges[i];
        if (next < log.lines.size() && i > 0 && !exchanges[i - 1].answered &&
            log.lines[next].starts_with("(late answer to " + Visible(exchanges[i - 1].command) +
                                        " discarded) | "))
            ++next;
        if (next == log.lines.size() ||
            !IsLine(log.lines[next], Visible(exchange.command + " | " + exchange.reply)))
            Fail("a command's log line is missing or wrong");
        ++next;
    }
    if (next != log.lines.size())
        Fail("the log holds a line no exchange explains");
}

void CheckSent(const std::vector<Exchange>& exchanges, const std::string& written) {
    std::string commands;
    for (const Exchange& exchange : exchanges)
        commands += exchange.command;
    if (commands != written)
        Fail("the port did not get exactly the commands, whole and in order");
}

void CheckRead(const std::vector<Exchange>& queries, const std::string& report,
               ConfigurationSnapshot before, const ConfigurationSnapshot& after) {
    if (report != fuzz::ReferenceReadReport(queries, before))
        Fail("the read report differs from the reference");
    // Whether a read ends by switching AUX 1 off is the implementation's choice.
    before.Selected(Selection::Aux1Source) = after.Selected(Selection::Aux1Source);
    if (before != after)
        Fail("the configuration read differs from the reference");
}

void CheckSingle(const Exchange& exchange, const std::string& text, const std::string& expected) {
    if (text != expected)
        Fail(("the text for " + Visible(exchange.command) + " differs from the reference").c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kronax::fuzz::FuzzInput input(data, size);
    // At least 10 ms a reading, so that an exchange without CR ends within about 100 reads.
    const std::uint32_t step = 10u + input.Byte() % 200u;
    FakeCommandPort port;
    port.queue = input.Piece();
    while (!input.Empty())
        port.arrivals.push_back(input.Piece());
    FakeTick tick({0}, step);
    FakeTrafficLog log;
    BoardChannel board(port, tick, log);
    RecordingChannel channel(board);
    MemoryConfigurationView view;

    const ConfigurationSnapshot before = view.Snapshot();
    const std::string readReport = ReportText(ReadConfiguration(view, channel));
    CheckRead(channel.exchanges, readReport, before, view.Snapshot());
    if (ReportText(WriteConfiguration(view, channel)) !=
        fuzz::ReferenceWriteReport(channel.From(6)))
        Fail("the write report differs from the reference");

    const std::string started = CommandOutcomeText(SendStartCommand(channel));
    CheckSingle(channel.exchanges.back(), started,
                fuzz::ReferenceStartText(channel.exchanges.back()));
    const std::string status = CommandOutcomeText(RequestStatus(channel));
    CheckSingle(channel.exchanges.back(), status,
                fuzz::ReferenceStatusText(channel.exchanges.back()));
    const std::string stored = CommandOutcomeText(SendPowerOnDefaultCommand(channel));
    CheckSingle(channel.exchanges.back(), stored,
                fuzz::ReferencePowerOnDefaultText(channel.exchanges.back()));
    const std::string identified = CommandOutcomeText(RequestBoardInformation(channel));
    CheckSingle(channel.exchanges.back(), identified,
                fuzz::ReferenceBoardInformationText(channel.exchanges.back()));

    CheckSent(channel.exchanges, port.written);
    CheckLog(channel.exchanges, log);
    return 0;
}
