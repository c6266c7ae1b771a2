#include "records/RecordStore.h"
#include "records/server/PgConnection.h"
#include "records/server/RecordForwarder.h"
#include "records/server/RecordServer.h"
#include "tests/support/PostgresSuite.h"
#include "tests/support/ScopedTempFile.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

// Forwarding through a proxy on 127.0.0.1 that does to the server's connection what a plant's
// network does: trickles it, cuts it half way through a batch, or swallows the server's answer
// to a batch it took. Whatever it does, the time stays bounded and every record ends on the
// server once.
namespace kronax::records {
namespace {

using kronax::test::ScopedTempFile;
using std::chrono::milliseconds;
using std::chrono::seconds;

enum class Fault {
    Trickle, // one byte each way every few milliseconds
    Cut,     // both ends closed once the station has sent most of a batch
    Swallow, // the server's answers dropped once the station has sent most of a batch
};

// The station has sent most of a batch of 250 records (each some 500 bytes) past this.
constexpr std::size_t BatchUnderWay = 60000;

class Proxy {
public:
    Proxy(std::uint16_t serverPort, Fault fault) : serverPort_(serverPort), fault_(fault) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
        listen(listener_, 8);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~Proxy() {
        ending_ = true;
        shutdown(listener_, SHUT_RDWR);
        thread_.join();
        close(listener_);
    }
    Proxy(const Proxy&) = delete;
    Proxy& operator=(const Proxy&) = delete;

    std::uint16_t Port() const { return port_; }

private:
    void Serve() {
        while (!ending_) {
            const int client = accept(listener_, nullptr, nullptr);
            if (client < 0)
                return;
            const int server = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            address.sin_port = htons(serverPort_);
            if (connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
                Relay(client, server);
            close(server);
            close(client);
        }
    }

    // One connection, until either end closes it, the fault ends it or the proxy ends.
    void Relay(int client, int server) {
        std::size_t fromClient = 0;
        const std::size_t chunk = fault_ == Fault::Trickle ? 1 : 65536;
        std::vector<char> buffer(chunk);
        for (;;) {
            pollfd ends[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
            if (poll(ends, 2, 50) < 0 || ending_)
                return;
            for (int side = 0; side < 2; ++side) {
                if (!(ends[side].revents & (POLLIN | POLLHUP)))
                    continue;
                const ssize_t got = read(ends[side].fd, buffer.data(), chunk);
                if (got <= 0)
                    return;
                if (side == 0)
                    fromClient += static_cast<std::size_t>(got);
                const bool batchUnderWay = fromClient > BatchUnderWay;
                if (fault_ == Fault::Cut && batchUnderWay)
                    return;
                if (fault_ == Fault::Swallow && batchUnderWay && side == 1)
                    continue;
                if (write(ends[1 - side].fd, buffer.data(), static_cast<std::size_t>(got)) != got)
                    return;
                if (fault_ == Fault::Trickle)
                    std::this_thread::sleep_for(milliseconds(2));
            }
        }
    }

    std::uint16_t serverPort_;
    Fault fault_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> ending_ = false;
    std::thread thread_;
};

BoardRecord Record(int index) {
    BoardRecord record;
    record.id = "proxy-" + std::to_string(index);
    record.startedMs = 1765288424000 + index;
    record.endedMs = record.startedMs + 900;
    record.station = "line-P";
    record.user = "op";
    record.program = "kronax";
    record.version = "1.0";
    record.operation = "write";
    record.port = {"ttyUSB0", "/dev/ttyUSB0", "0403", "6001", "A10K"};
    record.board = BoardIdentityFields{"0815", "P1", "F2", "U1.7"};
    record.traffic = {{0, "> ##SMSEN000000000000"}, {12, "< !SMACK"}};
    record.exitCode = 0;
    return record;
}

class RecordServerProxy : public test::PostgresSuite {
protected:
    static std::vector<BoardRecord> OnServer() {
        const auto soon = ServerClock::now() + seconds(30);
        PgConnection connection(postgres_->SocketConnection(), soon);
        return RecordServer(connection).Query({}, soon);
    }
};

TEST_F(RecordServerProxy, ATrickledCutOrSwallowedConnectionKeepsItsBoundAndEveryRecordOnce) {
    const struct {
        Fault fault;
        const char* name;
    } cases[] = {{Fault::Trickle, "trickle"}, {Fault::Cut, "cut"}, {Fault::Swallow, "swallow"}};
    const auto soon = [] {
        return ServerClock::now() + seconds(30);
    };
    for (const auto& sample : cases) {
        {
            PgConnection connection(postgres_->SocketConnection(), soon());
            connection.Run("DROP TABLE IF EXISTS kronax_records, kronax_schema", {}, soon());
            RecordServer(connection).InitSchema(soon());
        }
        ScopedTempFile file("store.sqlite3");
        RecordStore store(file.Path());
        for (int index = 0; index < 600; ++index)
            store.Save(Record(index));
        const Proxy proxy(postgres_->Port(), sample.fault);
        std::string conninfo = postgres_->TcpConnection();
        conninfo.replace(conninfo.find("port="), 5 + std::to_string(postgres_->Port()).size(),
                         "port=" + std::to_string(proxy.Port()));
        const auto start = ServerClock::now();
        const ForwardReport broken =
            ForwardQueued(store, conninfo, {milliseconds(1500), milliseconds(1500)});
        EXPECT_LT(ServerClock::now() - start, seconds(5)) << sample.name; // bounds a hang only
        ASSERT_TRUE(broken.failure) << sample.name;
        EXPECT_EQ(broken.queued + broken.forwarded, 600u) << sample.name;
        if (sample.fault == Fault::Swallow) {
            EXPECT_GT(OnServer().size(), broken.forwarded) << "the server took what it never "
                                                              "acknowledged";
        }
        const ForwardReport after = ForwardQueued(store, postgres_->SocketConnection(), SyncLimits);
        EXPECT_FALSE(after.failure) << sample.name;
        std::map<std::string, int> copies;
        for (const BoardRecord& record : OnServer())
            ++copies[record.id];
        EXPECT_EQ(copies.size(), 600u) << sample.name;
        EXPECT_TRUE(std::all_of(copies.begin(), copies.end(), [](const auto& entry) {
            return entry.second == 1;
        })) << sample.name;
    }
}

} // namespace
} // namespace kronax::records
