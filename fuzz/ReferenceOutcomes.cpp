#include "fuzz/ReferenceOutcomes.h"

#include "fuzz/ReferenceDecoding.h"

#include <array>

namespace kronax::fuzz {
namespace {

constexpr std::array<const char*, 6> Kinds = {"SEN", "CDM", "ABV", "TDF", "MOD", "MUX"};
constexpr std::array<std::size_t, 6> PayloadLengths = {12, 4, 4, 4, 5, 5};
constexpr std::array<const char*, 6> ReadNames = {
    "CA parameters",  "CDM parameters", "Alpha Beta parameters", "Multiplier/Devider parameters",
    "Operation Mode", "Operation Mode"};
constexpr std::array<const char*, 6> WriteNames = {
    "CA parameters",         "CDM parameters",
    "Alpha Beta parameters", "Multiplier/Devider parameters",
    "Operation Mode",        "MUX"};

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

std::string WithoutFirstCr(std::string reply) {
    const std::size_t cr = reply.find('\r');
    if (cr != std::string::npos)
        reply.erase(cr, 1);
    return reply;
}

std::string WithoutCr(const std::string& command) {
    return command.substr(0, command.find('\r'));
}

// "acknowledged" for the start and power-on texts: acceptance first, then refusal, else the
// reply itself.
std::string SingleCommandText(const Exchange& exchange, const std::string& name,
                              const char* acknowledged) {
    if (!exchange.answered)
        return name + " timeout.";
    if (Contains(exchange.reply, "!SMACK"))
        return name + " " + acknowledged;
    if (Contains(exchange.reply, "!SMNCK"))
        return name + " NOT acknowledged.";
    return exchange.reply;
}

} // namespace

std::string ReferenceReadReport(const std::vector<Exchange>& queries,
                                ConfigurationSnapshot& snapshot) {
    std::string report;
    int modeCode = 0;
    for (std::size_t i = 0; i < queries.size() && i < Kinds.size(); ++i) {
        const Exchange& query = queries[i];
        const std::string name = ReadNames[i];
        report += WithoutCr(query.command) + " | ";
        if (!query.answered) {
            report += name + " timeout.\r\n";
            continue;
        }
        if (!Contains(query.reply, "!SM") || query.reply.size() != PayloadLengths[i] + 4) {
            report += WithoutFirstCr(query.reply) + " | " + name + " NOT received correctly.\r\n";
            continue;
        }
        const ReferenceDecoding decoded = ReferenceDecode(
            PayloadKinds[i], query.reply.substr(3, PayloadLengths[i]), snapshot, modeCode);
        snapshot = decoded.snapshot;
        modeCode = decoded.modeCode;
        if (decoded.legal)
            report += name + " received.\r\n";
        else
            report += WithoutFirstCr(query.reply) + " | " + name +
                      " received with illegal paramerters.\r\n";
    }
    return report;
}

std::string ReferenceWriteReport(const std::vector<Exchange>& commands) {
    std::string report;
    for (std::size_t i = 0; i < commands.size() && i < Kinds.size(); ++i) {
        const Exchange& command = commands[i];
        const std::string name = WriteNames[i];
        report += WithoutCr(command.command) + " | ";
        if (!command.answered)
            report += name + " timeout.\r\n";
        else if (Contains(command.reply, "!SMACK"))
            report += name + " acknowledged.\r\n";
        else
            report += name + " NOT acknowledged.\r\n";
    }
    return report;
}

std::string ReferenceStartText(const Exchange& exchange) {
    return SingleCommandText(exchange, "Start", "aknowledged.");
}

std::string ReferenceStatusText(const Exchange& exchange) {
    if (!exchange.answered)
        return "Status: request timeout.";
    const std::size_t marker = exchange.reply.find("!SM");
    if (marker == std::string::npos)
        return "Status: unknown.";
    return "Status: " + exchange.reply.substr(marker + 3, 9);
}

std::string ReferencePowerOnDefaultText(const Exchange& exchange) {
    return SingleCommandText(exchange, "Setting power on defaults", "aknowledged.");
}

std::string ReferenceBoardInformationText(const Exchange& exchange) {
    std::array<std::string, 4> fields;
    const std::size_t cr = exchange.reply.find('\r');
    if (exchange.answered && cr != std::string::npos) {
        for (std::size_t j = 0; j < fields.size(); ++j) {
            const long start = static_cast<long>(cr) - 16 + 4 * static_cast<long>(j);
            fields[j] = exchange.reply.substr(static_cast<std::size_t>(start < 0 ? 0 : start), 4);
        }
    }
    return "Board Information:\r\nSerial number: " + fields[0] + "\r\nPCB Version: " + fields[1] +
           "\r\nFPGA Version: " + fields[2] + "\r\n\xB5" + "C Version: " + fields[3];
}

} // namespace kronax::fuzz
