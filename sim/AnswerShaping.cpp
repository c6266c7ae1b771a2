#include "sim/AnswerShaping.h"

#include <algorithm>

namespace kronax::sim {
namespace {

bool StartsWithAny(const std::string& command, const std::vector<std::string>& starts) {
    return std::any_of(starts.begin(), starts.end(),
                       [&](const std::string& start) { return command.starts_with(start); });
}

} // namespace

bool IsRefused(const std::string& command, const FaultOptions& faults) {
    return StartsWithAny(command, faults.refused);
}

int CommandTimeout(const std::string& command) {
    return command == "??SMSETB" ? 500 : 1000;
}

std::vector<AnswerPiece> ShapeAnswer(const std::string& command, std::string answer,
                                     const FaultOptions& faults) {
    if (faults.silent || StartsWithAny(command, faults.ignored))
        return {};
    if (IsRefused(command, faults))
        answer = "!SMNCK\r";
    for (const auto& [start, bytes] : faults.replies)
        if (command.starts_with(start))
            answer = bytes;
    if (faults.garbage)
        answer = GarbageLine;
    if (faults.crLf)
        answer += "\n";

    int firstPause = faults.delayMs;
    if (faults.late)
        firstPause += CommandTimeout(command) + LateMargin;
    for (const auto& [start, ms] : faults.lateCommands)
        if (command.starts_with(start)) {
            firstPause += ms;
            break;
        }
    const std::size_t size =
        faults.splitSize > 0 ? static_cast<std::size_t>(faults.splitSize) : answer.size();
    std::vector<AnswerPiece> pieces;
    for (std::size_t from = 0; from < answer.size(); from += size)
        pieces.push_back(
            {pieces.empty() ? firstPause : faults.splitPauseMs, answer.substr(from, size)});
    return pieces;
}

} // namespace kronax::sim
