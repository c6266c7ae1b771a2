#include "link/network/NetworkPortName.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace kronax {
namespace {

TEST(NetworkPortUrl, NamesTheServerOrNothing) {
    const std::map<std::string, std::optional<NetworkPortAddress>> cases = {
        {"rfc2217://127.0.0.1:4001", NetworkPortAddress{true, "127.0.0.1", 4001}},
        {"socket://board-7.lab:1", NetworkPortAddress{false, "board-7.lab", 1}},
        {"tcp://host:65535", NetworkPortAddress{false, "host", 65535}},
        {"rfc2217://[::1]:4000", NetworkPortAddress{true, "::1", 4000}},
        {"", std::nullopt},
        {"COM1", std::nullopt},
        {"http://host:80", std::nullopt},
        {"rfc2217://host", std::nullopt},
        {"rfc2217://host:", std::nullopt},
        {"rfc2217://:4000", std::nullopt},
        {"socket://host:0", std::nullopt},
        {"socket://host:65536", std::nullopt},
        {"socket://host:123456", std::nullopt},
        {"socket://host:40a", std::nullopt},
        {"socket://host:4000/path", std::nullopt},
        {"socket://ho st:4000", std::nullopt},
        {"rfc2217://::1:4000", std::nullopt},
        {"RFC2217://host:4000", std::nullopt},
    };
    for (const auto& [url, address] : cases)
        EXPECT_EQ(ParseNetworkPortUrl(url), address) << url;
}

TEST(NetworkPortMap, KeepsOnlyComPortsMappedToNetworkPorts) {
    const std::string text = "; boards on line 3\r\n"
                             "[ports]\r\n"
                             "COM7 = rfc2217://10.0.0.5:4001\r\n"
                             "COM8=socket://10.0.0.5:4002\n"
                             "#COM9=socket://10.0.0.5:4003\n"
                             "COM10=/dev/ttyUSB0\n"
                             "COM0=tcp://h:1\n"
                             "port=tcp://h:1\n"
                             "COM8=tcp://10.0.0.6:4002\n"
                             "garbage\n";
    EXPECT_EQ(ParsePortMap(text), (std::map<unsigned, std::string>{{7, "rfc2217://10.0.0.5:4001"},
                                                                   {8, "tcp://10.0.0.6:4002"}}));
}

} // namespace
} // namespace kronax
