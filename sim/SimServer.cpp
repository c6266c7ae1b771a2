#include "sim/SimServer.h"

#include "link/Deadline.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace kronax::sim {
namespace {

constexpr int StopCheckMs = 200;

// One character of 10 bits (start, 8 data, stop) at 9600 baud.
constexpr std::chrono::nanoseconds CharacterTime{10'000'000'000LL / 9600};

// How long to wait after the master reports a hang-up before reading again.
constexpr int HangUpPauseMs = 50;

[[noreturn]] void ThrowSystemError(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

} // namespace

SimServer::SimServer(int masterFd, int stopFd, SimBoard& board, const FaultOptions& faults,
                     SimLog& log)
    : master_(masterFd), stop_(stopFd), board_(board), faults_(faults), log_(log) {}

void SimServer::Run() {
    char buffer[256];
    while (!stopping_) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {stop_, POLLIN, 0}};
        // Woken now and then: a runtime that defers signal handlers (ThreadSanitizer's) runs
        // them only when the process next enters a call, so a wait without end could miss the
        // stop.
        if (poll(fds, 2, StopCheckMs) < 0) {
            if (errno == EINTR)
                continue;
            ThrowSystemError("poll");
        }
        if (fds[1].revents != 0)
            return;
        if (fds[0].revents == 0)
            continue;
        const ssize_t count = read(master_, buffer, sizeof buffer);
        if (count > 0)
            Take(buffer, static_cast<std::size_t>(count));
        else if (count < 0 && errno != EINTR && errno != EAGAIN && errno != EIO)
            ThrowSystemError("read");
        else if (count <= 0 && !Pause(HangUpPauseMs))
            return;
    }
}

void SimServer::Take(const char* bytes, std::size_t count) {
    for (const std::string& line : lines_.Take(bytes, count)) {
        if (stopping_)
            return;
        Serve(line);
    }
}

void SimServer::Serve(const std::string& line) {
    log_.Received(line + "\r");
    // A refused command never reaches the board: it answers "!SMNCK" and stores nothing.
    const std::string answer = IsRefused(line, faults_) ? "!SMNCK\r" : board_.Answer(line);
    const std::vector<AnswerPiece> pieces = ShapeAnswer(line, answer, faults_);
    std::string sent;
    for (const AnswerPiece& piece : pieces) {
        if (!Pause(piece.pauseMs))
            return;
        if (faults_.pace)
            SendPaced(piece.text);
        else
            Send(piece.text);
        sent += piece.text;
    }
    if (!pieces.empty())
        log_.Sent(sent);
}

// Waits ms milliseconds; false (and stopping) when the stop signal came first.
bool SimServer::Pause(int ms) {
    if (ms <= 0)
        return true;
    pollfd stop = {stop_, POLLIN, 0};
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    // Rounded up, so that the pause is never shorter than asked.
    for (int left = MillisecondsUntil(until); left > 0; left = MillisecondsUntil(until)) {
        const int result = poll(&stop, 1, left);
        if (result > 0) {
            stopping_ = true;
            return false;
        }
        if (result < 0 && errno != EINTR)
            ThrowSystemError("poll");
    }
    return true;
}

void SimServer::Send(const std::string& text) const {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t count = write(master_, text.data() + done, text.size() - done);
        if (count < 0 && errno != EINTR)
            ThrowSystemError("write");
        if (count > 0)
            done += static_cast<std::size_t>(count);
    }
}

// Hands over each byte when it would have arrived over the line, on a fixed schedule so that
// the delays do not add up.
void SimServer::SendPaced(const std::string& text) const {
    auto next = std::chrono::steady_clock::now();
    for (char c : text) {
        next += CharacterTime;
        std::this_thread::sleep_until(next);
        Send(std::string(1, c));
    }
}

} // namespace kronax::sim
