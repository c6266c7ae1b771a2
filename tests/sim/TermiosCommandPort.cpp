#include "TermiosCommandPort.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace kronax::sim::testing {

TermiosCommandPort::TermiosCommandPort(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        throw std::runtime_error("cannot open " + path);
    termios settings{};
    tcgetattr(fd_, &settings);
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    tcsetattr(fd_, TCSANOW, &settings);
}

TermiosCommandPort::~TermiosCommandPort() {
    close(fd_);
}

void TermiosCommandPort::PurgeBuffers(bool input, bool output) {
    if (input && output)
        tcflush(fd_, TCIOFLUSH);
    else if (input)
        tcflush(fd_, TCIFLUSH);
    else if (output)
        tcflush(fd_, TCOFLUSH);
}

int TermiosCommandPort::WriteText(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t count = write(fd_, text.data() + done, text.size() - done);
        if (count < 0 && errno != EINTR && errno != EAGAIN)
            throw std::runtime_error("write failed");
        if (count > 0)
            done += static_cast<std::size_t>(count);
    }
    tcdrain(fd_);
    return static_cast<int>(done);
}

int TermiosCommandPort::ReadText(std::string& text, int count) {
    text.resize(static_cast<std::size_t>(count));
    const ssize_t got = read(fd_, text.data(), text.size());
    if (got < 0 && errno != EAGAIN && errno != EINTR)
        throw std::runtime_error("read failed");
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return static_cast<int>(text.size());
}

bool TermiosCommandPort::WaitForPendingInput(int deadlineMs) const {
    pollfd p = {fd_, POLLIN, 0};
    return poll(&p, 1, deadlineMs) > 0;
}

} // namespace kronax::sim::testing
