#pragma once

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace kronax::test {

// A pseudo-terminal whose terminal side stays locked: a character device that is there but
// refuses to be opened (EIO), as a port whose device fails.
class LockedPty {
public:
    LockedPty() : master_(posix_openpt(O_RDWR | O_NOCTTY)) {}
    LockedPty(const LockedPty&) = delete;
    LockedPty& operator=(const LockedPty&) = delete;
    ~LockedPty() {
        if (master_ >= 0)
            close(master_);
    }

    std::string DevicePath() const {
        const char* name = master_ >= 0 ? ptsname(master_) : nullptr;
        return name != nullptr ? name : "";
    }

private:
    int master_;
};

} // namespace kronax::test
