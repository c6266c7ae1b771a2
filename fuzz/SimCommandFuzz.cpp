// The simulator's command handling: any bytes from the line give one answer line per command,
// a bounded input buffer, payloads that stay valid, and answers shaped without losing characters.
#include "fuzz/FuzzInput.h"
#include "sim/AnswerShaping.h"
#include "sim/LineAssembler.h"
#include "sim/SimBoard.h"

#include <algorithm>
#include <string>

namespace {

using namespace kronax::sim;
using kronax::fuzz::Fail;

FaultOptions FaultsFrom(std::uint8_t bits) {
    FaultOptions faults;
    faults.refused =
        (bits & 1) != 0 ? std::vector<std::string>{"##SMSEN"} : std::vector<std::string>{};
    faults.crLf = (bits & 2) != 0;
    faults.splitSize = bits >> 4;
    faults.garbage = (bits & 4) != 0;
    faults.late = (bits & 8) != 0;
    return faults;
}

void CheckAnswer(const std::string& line, const std::string& answer, const SimBoard& board) {
    if (answer.empty() || answer.back() != '\r' ||
        std::count(answer.begin(), answer.end(), '\r') != 1)
        Fail("an answer is not exactly one line");
    for (int i = 0; i < PayloadCount; ++i) {
        if (!IsValidPayload(i, board.Current()[static_cast<std::size_t>(i)]))
            Fail("the board holds an invalid payload");
        if (line == std::string("??SM") + PayloadKinds[static_cast<std::size_t>(i)] &&
            answer.size() != 3 + PayloadLengths[static_cast<std::size_t>(i)] + 1)
            Fail("a query answer has the wrong length");
    }
}

void CheckShaped(const std::string& line, const std::string& answer, const FaultOptions& faults) {
    std::string sent;
    for (const AnswerPiece& piece : ShapeAnswer(line, answer, faults)) {
        if (piece.pauseMs < 0)
            Fail("a negative pause");
        sent += piece.text;
    }
    if (sent.empty() || faults.garbage)
        return;
    const std::string expected = faults.crLf ? answer + "\n" : answer;
    if (sent != expected)
        Fail("shaping changed the answer");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kronax::fuzz::FuzzInput input(data, size);
    const FaultOptions faults = FaultsFrom(input.Byte());
    bool storeWorks = (input.Byte() & 1) != 0;
    SimBoard board(StartPayloads(), [&](const Payloads&) { return storeWorks; });
    LineAssembler lines;
    while (!input.Empty()) {
        const std::string bytes = input.Piece();
        for (const std::string& line : lines.Take(bytes.data(), bytes.size())) {
            if (line.size() > LineAssembler::Capacity || line.find('\r') != std::string::npos)
                Fail("a line longer than the input buffer or holding a CR");
            const std::string answer = IsRefused(line, faults) ? "!SMNCK\r" : board.Answer(line);
            CheckAnswer(line, answer, board);
            CheckShaped(line, answer, faults);
        }
        if (lines.Pending() > LineAssembler::Capacity)
            Fail("the input buffer grew beyond its capacity");
    }
    return 0;
}
