#pragma once

#include "CommandPort.h"

#include <string>

namespace kronax::sim::testing {

// Just enough of a serial port, over termios, to run command transactions against the simulator
// before the real port class is at hand: raw 9600 8N1, reads that never wait.
class TermiosCommandPort : public ICommandPort {
public:
    explicit TermiosCommandPort(const std::string& path);
    ~TermiosCommandPort() override;

    bool Connected() const override { return fd_ >= 0; }
    void PurgeBuffers(bool input, bool output) override;
    int WriteText(const std::string& text) override;
    int ReadText(std::string& text, int count) override;

    // Waits (bounded by deadlineMs) until received bytes are waiting; false if none came.
    bool WaitForPendingInput(int deadlineMs) const;

private:
    int fd_ = -1;
};

} // namespace kronax::sim::testing
