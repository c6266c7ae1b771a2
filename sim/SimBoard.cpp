#include "sim/SimBoard.h"

#include <algorithm>
#include <cctype>

namespace kronax::sim {
namespace {

constexpr const char* Ack = "!SMACK\r";
constexpr const char* Nck = "!SMNCK\r";

// The index of kind, or PayloadCount when it names none.
std::size_t KindIndex(std::string_view kind) {
    for (std::size_t i = 0; i < PayloadCount; ++i) {
        if (kind == PayloadKinds[i])
            return i;
    }
    return PayloadCount;
}

std::string UpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

} // namespace

Payloads StartPayloads() {
    return {"010100000000", "0001", "0000", "0001", "00000", "00880"};
}

bool IsValidPayload(std::size_t index, std::string_view text) {
    return index < PayloadCount && text.size() == PayloadLengths[index] &&
           std::all_of(text.begin(), text.end(),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

SimBoard::SimBoard(Payloads start, PowerOnStore storePowerOnDefault, BoardIdentityText identity)
    : payloads_(std::move(start)), storePowerOnDefault_(std::move(storePowerOnDefault)),
      identity_(std::move(identity)) {}

std::string SimBoard::Answer(std::string_view line) {
    if (line.starts_with("##SM"))
        return AnswerWrite(line.substr(4));
    if (line.starts_with("??SM"))
        return AnswerQuery(line.substr(4));
    return Nck;
}

std::string SimBoard::AnswerWrite(std::string_view body) {
    if (body == "STA") {
        running_ = true;
        return Ack;
    }
    if (body == "SETP")
        return storePowerOnDefault_(payloads_) ? Ack : Nck;
    const std::size_t index = KindIndex(body.substr(0, 3));
    const std::string_view payload = body.substr(std::min<std::size_t>(3, body.size()));
    if (!IsValidPayload(index, payload))
        return Nck;
    payloads_[index] = UpperCase(payload);
    return Ack;
}

std::string SimBoard::AnswerQuery(std::string_view body) const {
    if (body == "STA")
        return std::string("!SM") + (running_ ? RunningStatus : StoppedStatus) + "\r";
    if (body == "SETB")
        return "!SM" + identity_.serialNumber + identity_.pcbVersion + identity_.fpgaVersion +
               identity_.microVersion + "\r";
    const std::size_t index = KindIndex(body);
    if (index == PayloadCount)
        return Nck;
    return "!SM" + payloads_[index] + "\r";
}

} // namespace kronax::sim
