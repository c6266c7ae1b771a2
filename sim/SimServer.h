#pragma once

#include "sim/AnswerShaping.h"
#include "sim/LineAssembler.h"
#include "sim/SimBoard.h"
#include "sim/SimLog.h"

#include <string>

namespace kronax::sim {

// Serves the board over the pty master: collects received bytes into lines ending with CR (bounded
// like a board's input buffer), answers each through the board and sends the answer shaped by the
// fault options.
class SimServer {
public:
    // masterFd: the pty master; stopFd: becomes readable when the simulator is to stop.
    SimServer(int masterFd, int stopFd, SimBoard& board, const FaultOptions& faults, SimLog& log);

    // Serves until stopFd becomes readable. Raises std::system_error when the pty fails.
    void Run();

private:
    void Take(const char* bytes, std::size_t count);
    void Serve(const std::string& line);
    bool Pause(int ms);
    void Send(const std::string& text) const;
    void SendPaced(const std::string& text) const;

    int master_;
    int stop_;
    SimBoard& board_;
    const FaultOptions& faults_;
    SimLog& log_;
    LineAssembler lines_;
    bool stopping_ = false;
};

} // namespace kronax::sim
