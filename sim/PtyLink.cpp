#include "sim/PtyLink.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <stdlib.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace kronax::sim {
namespace fs = std::filesystem;

namespace {

[[noreturn]] void ThrowSystemError(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

void MakeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        ThrowSystemError("tcgetattr");
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    if (tcsetattr(fd, TCSANOW, &settings) != 0)
        ThrowSystemError("tcsetattr");
}

} // namespace

PtyLink::PtyLink(const std::string& portsDir, const std::string& portName) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0)
        ThrowSystemError("posix_openpt");
    try {
        if (grantpt(master_) != 0 || unlockpt(master_) != 0)
            ThrowSystemError("grantpt/unlockpt");
        const char* name = ptsname(master_);
        if (name == nullptr)
            ThrowSystemError("ptsname");
        slavePath_ = name;
        slave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slave_ < 0)
            ThrowSystemError("open " + slavePath_);
        MakeRaw(slave_);
        linkPath_ = (fs::path(portsDir) / portName).string();
        fs::create_directories(portsDir);
        Publish();
    } catch (...) {
        if (slave_ >= 0)
            close(slave_);
        close(master_);
        throw;
    }
}

void PtyLink::Publish() {
    const fs::path link(linkPath_);
    const fs::file_status status = fs::symlink_status(link);
    if (fs::exists(status)) {
        if (!fs::is_symlink(status) || fs::exists(link))
            throw std::runtime_error(linkPath_ + " is already in use");
        fs::remove(link);
    }
    fs::create_symlink(slavePath_, link);
}

PtyLink::~PtyLink() {
    std::error_code error;
    if (fs::read_symlink(linkPath_, error) == fs::path(slavePath_) && !error)
        fs::remove(linkPath_, error);
    close(slave_);
    close(master_);
}

} // namespace kronax::sim
