#include "link/network/NetworkConnection.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

// The RFC 2217 client against a scripted server on the loopback address, for what ser2net in
// front of the simulator never shows: IACs in the data, an answer among stale bytes, refusals.
namespace kronax::posix {
namespace {

using namespace telnet;

std::string Bytes(std::initializer_list<int> values) {
    std::string text;
    for (int value : values)
        text += static_cast<char>(value);
    return text;
}

const std::string TakeComPort = Bytes({Iac, Do, OptionComPort});

// Reads from fd until text holds wanted or 5 s pass (a bound against a hang only).
std::string ReadUntil(int fd, const std::string& wanted) {
    std::string text;
    char buffer[256];
    pollfd readable{fd, POLLIN, 0};
    while (text.find(wanted) == std::string::npos && poll(&readable, 1, 5000) == 1) {
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(count));
    }
    return text;
}

void Send(int fd, const std::string& text) {
    ASSERT_EQ(send(fd, text.data(), text.size(), MSG_NOSIGNAL), static_cast<ssize_t>(text.size()));
}

// Serves one connection with script on a thread of its own.
class ScriptedServer {
public:
    explicit ScriptedServer(std::function<void(int)> script) {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        listen(listener_, 1);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this, script] {
            const int client = accept(listener_, nullptr, nullptr);
            if (client >= 0) {
                script(client);
                close(client);
            }
        });
    }
    ~ScriptedServer() {
        shutdown(listener_, SHUT_RDWR);
        thread_.join();
        close(listener_);
    }
    NetworkPortAddress Address() const { return {true, "127.0.0.1", port_}; }

private:
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::thread thread_;
};

TEST(PosixNetworkConnection, EscapesIacsBothWaysAndPurgesOnlyWhatCameBeforeTheAnswer) {
    std::string written;
    ScriptedServer server([&](int fd) {
        ReadUntil(fd, Bytes({Iac, Will, OptionComPort}));
        Send(fd, TakeComPort);
        written = ReadUntil(fd, Bytes({Iac, Sb, OptionComPort, PurgeData, 1, Iac, Se}));
        Send(fd, "stale" + Bytes({Iac, Sb, OptionComPort, 112, 1, Iac, Se}) + "x" +
                     Bytes({Iac, Iac}) + "y");
        ReadUntil(fd, "end");
    });
    NetworkConnection connection;
    ASSERT_EQ(connection.Connect(server.Address()), 0);
    connection.SetTimeouts({0xFFFFFFFF, 0, 0, 0, 0}); // reads take what has come, as the port's
    const std::string data = "a" + Bytes({Iac}) + "b";
    std::uint32_t done = 0;
    EXPECT_EQ(connection.Write(data.data(), 3, done), 0);
    EXPECT_EQ(done, 3u);
    EXPECT_EQ(connection.Purge(true, false), 0);
    std::string received;
    for (int wait = 0; wait < 50 && received.size() < 3; ++wait) {
        connection.WaitForInput(100);
        char buffer[16];
        connection.Read(buffer, sizeof buffer, done);
        received.append(buffer, done);
    }
    EXPECT_EQ(received, "x" + Bytes({Iac}) + "y");
    connection.Write("end", 3, done);
    EXPECT_NE(written.find("a" + Bytes({Iac, Iac}) + "b"), std::string::npos);
}

TEST(PosixNetworkConnection, AServerThatRefusesOrHangsUpOrSettlesOtherwiseFails) {
    const std::function<void(int)> refuses = [](int fd) {
        ReadUntil(fd, Bytes({Iac, Will, OptionComPort}));
        Send(fd, Bytes({Iac, Dont, OptionComPort}));
    };
    const std::function<void(int)> hangsUp = [](int fd) {
        ReadUntil(fd, Bytes({Iac, Will, OptionComPort}));
        Send(fd, "Port's device already in use\r\n");
    };
    // A raw TCP port named rfc2217:// passes the negotiation on to the board, which says nothing.
    const std::function<void(int)> staysSilent = [](int fd) {
        char byte = 0;
        while (recv(fd, &byte, 1, 0) > 0) {
        }
    };
    const struct {
        const std::function<void(int)>& script;
        int error;
    } cases[] = {{refuses, ENOPROTOOPT}, {hangsUp, EBUSY}, {staysSilent, EPROTONOSUPPORT}};
    for (const auto& each : cases) {
        ScriptedServer server(each.script);
        NetworkConnection connection;
        EXPECT_EQ(connection.Connect(server.Address()), each.error);
    }

    ScriptedServer otherSpeed([](int fd) {
        ReadUntil(fd, Bytes({Iac, Will, OptionComPort}));
        Send(fd, TakeComPort);
        ReadUntil(fd, Bytes({Iac, Sb, OptionComPort, SetStopSize}));
        Send(fd, ComPortCommand(101, BaudRateValue(115200)) + ComPortCommand(102, {8}) +
                     ComPortCommand(103, {1}) + ComPortCommand(104, {1}));
        ReadUntil(fd, "end");
    });
    NetworkConnection connection;
    ASSERT_EQ(connection.Connect(otherSpeed.Address()), 0);
    SerialDcb dcb;
    dcb.BaudRate = 9600;
    dcb.ByteSize = 8;
    EXPECT_EQ(connection.SetLineSettings(dcb), EINVAL);
    std::uint32_t done = 0;
    connection.Write("end", 3, done);
}

} // namespace
} // namespace kronax::posix
