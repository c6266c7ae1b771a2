#pragma once

#include "exchange/BoardPort.h"
#include "exchange/SteadyTickSource.h"
#include "exchange/TrafficLog.h"
#include "link/SerialPort.h"
#include "protocol/BoardChannel.h"
#include "tests/fakes/FakeCommandPort.h"
#include "tests/support/HangLimit.h"
#include "tests/support/PortQueue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The Win32 serial backend on the board simulator. The runner (scripts/wine-test) starts the
// simulator on a pseudo-terminal and maps COM1 to it through Wine's registry, so these tests run
// under Wine only, never on a plain Windows machine.
//
// Wine's serial layer on a pseudo-terminal differs from Windows on real ports. Where the product
// does not work around a difference, the tests stay clear of it:
// - A read set to return at once waits for data, and so does a read set to return at the first
//   byte or after a time. The port reads only the bytes that have arrived and waits with a
//   one-byte read under a total time-out, which Wine honours; time-outs are tested.
// - Opening is not exclusive: a second CreateFile of the port succeeds.
// - GetCommModemStatus fails with error 50 (not supported): opening raises error 11 after the
//   port is open and its watcher runs, and WaitCommEvent with a modem event in its mask (the
//   port's default mask has them) is refused at once.
// - evRxChar is signalled again at every wait while bytes sit unread, not once per arrival.
// - PurgeComm's abort flags discard the queues as its clear flags do, so closing empties them
//   even without a watcher.
namespace kronax::wine {

inline constexpr const char* SimPort = "COM1";
inline constexpr int ErrorNotSupported = 50;

using test::HangLimit;
using test::Queued;
using test::WaitQueued;

// Ends the test program when a step does not return within limit: a hang would otherwise end
// only at the runner's time limit, without naming the step.
class HangGuard {
public:
    explicit HangGuard(std::string step, std::chrono::seconds limit = HangLimit)
        : watch_([this, step = std::move(step), limit] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!changed_.wait_for(lock, limit, [this] { return done_; })) {
                  std::fprintf(stderr, "%s did not return within %lld s\n", step.c_str(),
                               static_cast<long long>(limit.count()));
                  std::fflush(stderr);
                  std::_Exit(3);
              }
          }) {}
    ~HangGuard() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        changed_.notify_one();
        watch_.join();
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool done_ = false;
    std::thread watch_;
};

// Opens port, accepting the one failure Wine always gives on a pseudo-terminal: the modem lines
// cannot be read (error 11 with error 50), after which the port is open.
inline void OpenOnWine(TSerialPort& port) {
    try {
        port.OpenPort();
    } catch (const ESerialPort& error) {
        if (error.PortErrorCode() != CError_ModemStatFailed ||
            error.WinErrorCode() != ErrorNotSupported)
            throw;
    }
}

// The simulator's port set up as the program sets it up, its line events delivered through a
// private dispatcher that the test runs, and the command channel on it.
struct SimLink {
    explicit SimLink(bool withWatcher = true) {
        SetUpBoardPort(port, withWatcher);
        port.SetDispatcher(dispatcher);
        port.SetPort(SimPort);
    }

    UiDispatcher dispatcher;
    TSerialPort port;
    SteadyTickSource ticks;
    test::FakeTrafficLog log;
    BoardChannel channel{port, ticks, log};
};

} // namespace kronax::wine
