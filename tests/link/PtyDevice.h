#pragma once

#include "link/SerialPort.h"
#include "tests/support/HangLimit.h"
#include "tests/support/PortQueue.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace kronax {

using test::HangLimit;
using test::Queued;
using test::WaitQueued;

// A pseudo-terminal standing in for the board: the port opens its slave side as COM1 through a
// device-map folder named by KRONAX_PORTS, and the test talks on the master side.
class PtyDevice {
public:
    PtyDevice() {
        char pattern[] = "/tmp/kronax-ports-XXXXXX";
        folder_ = mkdtemp(pattern);
        ports_.emplace(folder_.string());
        Attach();
    }

    ~PtyDevice() {
        Vanish();
        std::filesystem::remove_all(folder_);
    }

    // A new pseudo-terminal behind COM1.
    void Attach() {
        int slave = -1;
        char name[256];
        ASSERT_EQ(openpty(&master_, &slave, name, nullptr, nullptr), 0);
        close(slave);
        Link("COM1", name);
    }

    // The board goes away: the master side closes.
    void Vanish() {
        if (master_ >= 0)
            close(master_);
        master_ = -1;
    }

    void Link(const std::string& portName, const std::string& target) {
        std::filesystem::path link = folder_ / portName;
        std::filesystem::remove(link);
        std::filesystem::create_symlink(target, link);
    }

    const std::filesystem::path& Folder() const { return folder_; }

    void Send(const std::string& bytes) {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Sends bytes without ever blocking for good: false when the port has not taken them all
    // within HangLimit.
    bool SendWithin(const std::string& bytes) {
        const int flags = fcntl(master_, F_GETFL);
        fcntl(master_, F_SETFL, flags | O_NONBLOCK);
        std::size_t done = 0;
        const auto deadline = std::chrono::steady_clock::now() + HangLimit;
        while (done < bytes.size() && std::chrono::steady_clock::now() < deadline) {
            pollfd writable{master_, POLLOUT, 0};
            poll(&writable, 1, 100);
            const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0)
                done += static_cast<std::size_t>(n);
        }
        fcntl(master_, F_SETFL, flags);
        return done == bytes.size();
    }

    // What the port wrote, once count bytes have come.
    std::string Receive(std::size_t count) {
        std::string received;
        auto deadline = std::chrono::steady_clock::now() + HangLimit;
        while (received.size() < count && std::chrono::steady_clock::now() < deadline) {
            char buffer[256];
            ssize_t n = read(master_, buffer, sizeof buffer);
            if (n > 0)
                received.append(buffer, static_cast<std::size_t>(n));
        }
        return received;
    }

private:
    std::filesystem::path folder_;
    std::optional<test::ScopedPorts> ports_;
    int master_ = -1;
};

} // namespace kronax
