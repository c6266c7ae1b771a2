#include "link/network/TelnetCodec.h"

namespace kronax::telnet {
namespace {

bool WeOffer(std::uint8_t option) {
    return option == OptionBinary || option == OptionSuppressGoAhead || option == OptionComPort;
}

// Echo is refused: a server that echoed would mix our own bytes into the board's answers.
bool WeAccept(std::uint8_t option) {
    return option == OptionBinary || option == OptionSuppressGoAhead;
}

std::string Verb(std::uint8_t verb, std::uint8_t option) {
    return {static_cast<char>(Iac), static_cast<char>(verb), static_cast<char>(option)};
}

} // namespace

std::string Escape(const char* data, std::size_t count) {
    std::string wire;
    wire.reserve(count);
    for (std::size_t index = 0; index < count; ++index) {
        wire += data[index];
        if (static_cast<std::uint8_t>(data[index]) == Iac)
            wire += data[index];
    }
    return wire;
}

std::size_t WholeBytesSent(const char* data, std::size_t count, std::size_t sentBytes) {
    std::size_t whole = 0;
    for (std::size_t used = 0; whole < count; ++whole) {
        used += static_cast<std::uint8_t>(data[whole]) == Iac ? 2 : 1;
        if (used > sentBytes)
            break;
    }
    return whole;
}

std::string ComPortCommand(std::uint8_t command, const std::string& value) {
    std::string wire = {static_cast<char>(Iac), static_cast<char>(Sb),
                        static_cast<char>(OptionComPort), static_cast<char>(command)};
    wire += Escape(value.data(), value.size());
    wire += static_cast<char>(Iac);
    wire += static_cast<char>(Se);
    return wire;
}

std::string BaudRateValue(std::uint32_t baudRate) {
    return {static_cast<char>(baudRate >> 24), static_cast<char>(baudRate >> 16),
            static_cast<char>(baudRate >> 8), static_cast<char>(baudRate)};
}

std::string Session::Begin() {
    std::string wire;
    for (std::uint8_t option : {OptionBinary, OptionSuppressGoAhead}) {
        ours_[option] = theirs_[option] = Side::WantYes;
        wire += Verb(Will, option) + Verb(Do, option);
    }
    ours_[OptionComPort] = Side::WantYes;
    return wire + Verb(Will, OptionComPort);
}

void Session::Receive(const char* bytes, std::size_t count, std::string& data,
                      std::string& replies) {
    for (std::size_t index = 0; index < count; ++index) {
        const auto byte = static_cast<std::uint8_t>(bytes[index]);
        switch (state_) {
        case State::Data:
            if (byte == Iac)
                state_ = State::Command;
            else
                data += static_cast<char>(byte);
            break;
        case State::Command:
            if (byte == Iac)
                data += static_cast<char>(byte);
            verb_ = byte;
            state_ = byte >= Will && byte <= Dont ? State::Option
                     : byte == Sb                 ? State::SubOption
                                                  : State::Data;
            break;
        case State::Option:
            Negotiate(verb_, byte, replies);
            state_ = State::Data;
            break;
        case State::SubOption:
            subOption_ = byte;
            subData_.clear();
            subTooLong_ = false;
            state_ = State::SubData;
            break;
        case State::SubData:
            if (byte == Iac)
                state_ = State::SubCommand;
            else
                AddSubByte(byte);
            break;
        case State::SubCommand:
            if (byte == Iac) {
                AddSubByte(byte);
                state_ = State::SubData;
                break;
            }
            EndSubnegotiation(data.size());
            state_ = State::Data;
            break;
        }
    }
}

const std::string* Session::Answer(std::uint8_t command) const {
    auto found = answers_.find(command);
    return found == answers_.end() ? nullptr : &found->second.value;
}

std::size_t Session::AnswerMark(std::uint8_t command) const {
    auto found = answers_.find(command);
    return found == answers_.end() ? 0 : found->second.mark;
}

void Session::Negotiate(std::uint8_t verb, std::uint8_t option, std::string& replies) {
    const bool asksUs = verb == Do || verb == Dont;
    const bool yes = verb == Do || verb == Will;
    Side& side = (asksUs ? ours_ : theirs_)[option];
    const Side before = side;
    if (yes && side == Side::No) {
        const bool agree = asksUs ? WeOffer(option) : WeAccept(option);
        side = agree ? Side::Yes : Side::No;
        replies += Verb(asksUs ? (agree ? Will : Wont) : (agree ? Do : Dont), option);
    } else if (yes) {
        side = Side::Yes;
    } else if (side != Side::No) {
        if (side == Side::Yes)
            replies += Verb(asksUs ? Wont : Dont, option);
        side = Side::No;
    }
    if (asksUs && option == OptionComPort && before != Side::Yes) {
        comPortSettled_ = true;
        comPortAccepted_ = side == Side::Yes;
    }
}

void Session::AddSubByte(std::uint8_t byte) {
    if (subData_.size() < MaxSubnegotiation)
        subData_ += static_cast<char>(byte);
    else
        subTooLong_ = true;
}

void Session::EndSubnegotiation(std::size_t dataSize) {
    if (subOption_ != OptionComPort || subData_.empty() || subTooLong_)
        return;
    const auto command = static_cast<std::uint8_t>(subData_[0]);
    const std::string value = subData_.substr(1);
    if (command == NotifyModemState && !value.empty())
        modemState_ = static_cast<std::uint8_t>(value[0]);
    else if (command > ServerOffset)
        answers_[static_cast<std::uint8_t>(command - ServerOffset)] = {value, dataSize};
}

} // namespace kronax::telnet
