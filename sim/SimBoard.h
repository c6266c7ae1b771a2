#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace kronax::sim {

// The six parameter sets in their fixed order SEN, CDM, ABV, TDF, MOD, MUX.
inline constexpr std::size_t PayloadCount = 6;
using Payloads = std::array<std::string, PayloadCount>;
inline constexpr std::array<const char*, PayloadCount> PayloadKinds = {"SEN", "CDM", "ABV",
                                                                       "TDF", "MOD", "MUX"};
inline constexpr std::array<std::size_t, PayloadCount> PayloadLengths = {12, 4, 4, 4, 5, 5};

// The window's start configuration, which the board also holds until told otherwise.
Payloads StartPayloads();

// True when index names a kind (it is below PayloadCount) and text has that kind's length and
// holds hexadecimal digits only.
bool IsValidPayload(std::size_t index, std::string_view text);

// The board's identity as reported to "??SMSETB": 4 characters each.
inline constexpr const char* SerialNumber = "0815";
inline constexpr const char* PcbVersion = "P1.2";
inline constexpr const char* FpgaVersion = "F2.1";
inline constexpr const char* MicroVersion = "U1.7";

struct BoardIdentityText {
    std::string serialNumber = SerialNumber;
    std::string pcbVersion = PcbVersion;
    std::string fpgaVersion = FpgaVersion;
    std::string microVersion = MicroVersion;
};

// The status characters of "??SMSTA".
inline constexpr const char* RunningStatus = "RUNNING";
inline constexpr const char* StoppedStatus = "STOPPED";

// The board's side of the command protocol, without any I/O: one command line in, one answer
// line out. Not thread-safe; the simulator serves one line at a time.
class SimBoard {
public:
    // Stores the power-on default; false when it could not be kept.
    using PowerOnStore = std::function<bool(const Payloads&)>;

    SimBoard(Payloads start, PowerOnStore storePowerOnDefault, BoardIdentityText identity = {});

    // The answer to line (the command without its CR), ending with CR: "!SMACK" for an accepted
    // write, start or power-on default, "!SMNCK" for a refused or unknown command, "!SM" and
    // the data for a query. Hexadecimal payloads are stored in upper case.
    std::string Answer(std::string_view line);

    const Payloads& Current() const { return payloads_; }
    bool Running() const { return running_; }

private:
    std::string AnswerWrite(std::string_view body);
    std::string AnswerQuery(std::string_view body) const;

    Payloads payloads_;
    PowerOnStore storePowerOnDefault_;
    BoardIdentityText identity_;
    bool running_ = false;
};

} // namespace kronax::sim
