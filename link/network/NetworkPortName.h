#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace kronax {

// A port behind a network serial server, named by a URL: rfc2217://host:port (Telnet with COM
// port control: the client sets the line) or socket://host:port, also tcp://host:port (raw TCP:
// the server's line settings apply). The host is a name, an IPv4 address or an IPv6 address in
// brackets.
struct NetworkPortAddress {
    bool rfc2217 = false;
    std::string host;
    std::uint16_t port = 0;
    bool operator==(const NetworkPortAddress&) const = default;
};

// The address a URL names; nothing for any other text, a port of 0 or above 65535 included.
std::optional<NetworkPortAddress> ParseNetworkPortUrl(const std::string& url);

// The user's map from COM port numbers to URLs, in INI form: lines "COM<n>=<url>" in any
// section; blank lines, comments (";" or "#") and lines that are not such a pair are ignored,
// as are URLs that name no network port. A number mapped twice keeps its last URL.
std::map<unsigned, std::string> ParsePortMap(const std::string& text);

} // namespace kronax
