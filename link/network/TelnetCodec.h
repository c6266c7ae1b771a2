#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

// The Telnet layer of a network serial port (RFC 854 with the COM port control option of
// RFC 2217), free of sockets: bytes from the server go in, the device's bytes and the replies
// the server is owed come out.
namespace kronax::telnet {

inline constexpr std::uint8_t Iac = 255;
inline constexpr std::uint8_t Dont = 254;
inline constexpr std::uint8_t Do = 253;
inline constexpr std::uint8_t Wont = 252;
inline constexpr std::uint8_t Will = 251;
inline constexpr std::uint8_t Sb = 250;
inline constexpr std::uint8_t Se = 240;

inline constexpr std::uint8_t OptionBinary = 0;
inline constexpr std::uint8_t OptionSuppressGoAhead = 3;
inline constexpr std::uint8_t OptionComPort = 44;

// COM port commands from the client; the server answers each with the command plus 100.
inline constexpr std::uint8_t SetBaudRate = 1;
inline constexpr std::uint8_t SetDataSize = 2;
inline constexpr std::uint8_t SetParity = 3;
inline constexpr std::uint8_t SetStopSize = 4;
inline constexpr std::uint8_t SetControl = 5;
inline constexpr std::uint8_t SetModemStateMask = 11;
inline constexpr std::uint8_t PurgeData = 12;
inline constexpr std::uint8_t ServerOffset = 100;
inline constexpr std::uint8_t NotifyModemState = 107;

// The longest subnegotiation taken in: far beyond any COM port answer. A longer one is read to
// its end and ignored, so that a server cannot make the client hold an endless one.
inline constexpr std::size_t MaxSubnegotiation = 64;

// Data for the wire: every IAC doubled.
std::string Escape(const char* data, std::size_t count);

// The number of leading bytes of data whose escaped form fits in sentBytes bytes.
std::size_t WholeBytesSent(const char* data, std::size_t count, std::size_t sentBytes);

// IAC SB COM-PORT-OPTION command value IAC SE, the value escaped.
std::string ComPortCommand(std::uint8_t command, const std::string& value);

// The value of SET-BAUDRATE: four bytes, most significant first.
std::string BaudRateValue(std::uint32_t baudRate);

// One connection's Telnet state: decodes the server's stream, which may be cut anywhere, and
// keeps what the negotiation settled. Options are negotiated without loops: an option's state
// changes at most once per request, and only a change is answered.
class Session {
public:
    // What the client asks for when it connects: binary both ways, no go-aheads, COM port
    // control.
    std::string Begin();

    // Appends the device's bytes among bytes to data and the replies the server is owed to
    // replies.
    void Receive(const char* bytes, std::size_t count, std::string& data, std::string& replies);

    // Whether the server has answered the request for COM port control, and how.
    bool ComPortSettled() const { return comPortSettled_; }
    bool ComPortAccepted() const { return comPortAccepted_; }

    // The server's last answer to command (a client command number), if any since Forget.
    const std::string* Answer(std::uint8_t command) const;
    // The size the data text of Receive had when that answer was decoded: the device's bytes the
    // server sent before answering end there.
    std::size_t AnswerMark(std::uint8_t command) const;
    void Forget(std::uint8_t command) { answers_.erase(command); }

    // The modem lines of the last NOTIFY-MODEMSTATE (CTS 0x10, DSR 0x20, RI 0x40, CD 0x80); 0
    // until the server sends one.
    std::uint8_t ModemState() const { return modemState_; }

private:
    enum class State { Data, Command, Option, SubOption, SubData, SubCommand };
    enum class Side { No, Yes, WantYes };
    void Negotiate(std::uint8_t verb, std::uint8_t option, std::string& replies);
    void AddSubByte(std::uint8_t byte);
    void EndSubnegotiation(std::size_t dataSize);
    struct Answered {
        std::string value;
        std::size_t mark = 0;
    };

    State state_ = State::Data;
    std::uint8_t verb_ = 0;
    std::uint8_t subOption_ = 0;
    std::string subData_;
    bool subTooLong_ = false;
    std::map<std::uint8_t, Side> ours_, theirs_;
    bool comPortSettled_ = false;
    bool comPortAccepted_ = false;
    std::map<std::uint8_t, Answered> answers_;
    std::uint8_t modemState_ = 0;
};

} // namespace kronax::telnet
