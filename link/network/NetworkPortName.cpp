#include "link/network/NetworkPortName.h"

#include "link/PortName.h"

#include <algorithm>
#include <sstream>

namespace kronax {
namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::optional<std::uint16_t> PortNumber(const std::string& digits) {
    constexpr std::size_t MaxDigits = 5;
    if (digits.empty() || digits.size() > MaxDigits ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const unsigned long number = std::stoul(digits);
    if (number == 0 || number > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(number);
}

bool IsHostText(const std::string& host) {
    return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '-' || c == '_' || c == ':';
    });
}

} // namespace

std::optional<NetworkPortAddress> ParseNetworkPortUrl(const std::string& url) {
    NetworkPortAddress address;
    std::string rest;
    for (const auto& [scheme, rfc2217] :
         {std::pair{"rfc2217://", true}, std::pair{"socket://", false}, {"tcp://", false}}) {
        const std::string prefix = scheme;
        if (url.compare(0, prefix.size(), prefix) == 0) {
            address.rfc2217 = rfc2217;
            rest = url.substr(prefix.size());
        }
    }
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string::npos)
        return std::nullopt;
    std::string host = rest.substr(0, colon);
    const bool bracketed = host.size() > 2 && host.front() == '[' && host.back() == ']';
    if (bracketed)
        host = host.substr(1, host.size() - 2);
    // A colon in the host is an IPv6 address, which must stand in brackets.
    if (!IsHostText(host) || (!bracketed && host.find(':') != std::string::npos))
        return std::nullopt;
    const auto port = PortNumber(rest.substr(colon + 1));
    if (!port)
        return std::nullopt;
    address.host = host;
    address.port = *port;
    return address;
}

std::map<unsigned, std::string> ParsePortMap(const std::string& text) {
    std::map<unsigned, std::string> ports;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const auto number = ComPortNumber(Trimmed(line.substr(0, equals)));
        const std::string url = Trimmed(line.substr(equals + 1));
        if (number && ParseNetworkPortUrl(url))
            ports[*number] = url;
    }
    return ports;
}

} // namespace kronax
