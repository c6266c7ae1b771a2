#pragma once

#include "exchange/BoardPort.h"
#include "exchange/SteadyTickSource.h"
#include "link/SerialPort.h"
#include "link/UiDispatcher.h"
#include "protocol/BoardChannel.h"
#include "sim/SimProcess.h"
#include "tests/fakes/FakeCommandPort.h"
#include "tests/support/HangLimit.h"
#include "tests/support/ScopedEnvironment.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// The program's own serial port and command transaction on a running simulator, shared by the
// suites that drive the board link end to end.
namespace kronax::sim {

using kronax::test::HangLimit;

// The real serial port on the simulator's published COM1, with the transaction on it. The
// port's watcher reports arrivals through a private dispatcher, so that a test can wait for
// bytes to be queued without taking them.
struct Link {
    explicit Link(const std::vector<std::string>& simArgs, bool open = true)
        : sim(simArgs), ports(sim.Folder()) {
        SetUpBoardPort(port, true);
        port.SetDispatcher(dispatcher);
        port.OnRxChar = [this](int count) {
            queued = count;
        };
        if (open)
            port.OpenPort();
    }

    // Runs the watcher's deliveries until at least count bytes wait in the receive queue; false
    // when they did not come within HangLimit.
    bool WaitUntilQueued(int count) {
        const auto end = std::chrono::steady_clock::now() + HangLimit;
        while (std::chrono::steady_clock::now() < end) {
            dispatcher.RunPending();
            if (queued >= count)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    SimProcess sim;
    test::ScopedPorts ports;
    UiDispatcher dispatcher;
    int queued = 0;
    TSerialPort port;
    SteadyTickSource ticks;
    test::FakeTrafficLog log;
    BoardChannel transaction{port, ticks, log};
};

// The lines the simulator logged as received in simLog, control characters escaped as it
// writes them ("\r").
inline std::vector<std::string> ReceivedLines(const std::string& simLog) {
    std::ifstream in(simLog);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (line.find(" RX ") != std::string::npos)
            lines.push_back(line.substr(line.find(" RX ") + 4));
    return lines;
}

// Waits until simLog shows a line received that starts with start; false when none came within
// HangLimit.
inline bool WaitUntilReceived(const std::string& simLog, const std::string& start) {
    const auto end = std::chrono::steady_clock::now() + HangLimit;
    do {
        for (const std::string& line : ReceivedLines(simLog))
            if (line.rfind(start, 0) == 0)
                return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

} // namespace kronax::sim
