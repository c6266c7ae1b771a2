#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace kronax::sim {

// A running kronax-sim on a private device-map folder, stopped with SIGTERM on destruction.
class SimProcess {
public:
    // Starts the simulator with extraArgs and waits (bounded) until it has printed its port name.
    explicit SimProcess(const std::vector<std::string>& extraArgs = {},
                        const std::string& portName = "COM1");
    ~SimProcess();

    // Sends signal, again each second until the simulator has ended, and waits for the exit;
    // returns the exit status as from waitpid.
    int Stop(int signal);

    const std::string& Folder() const { return folder_; }
    std::string LinkPath() const { return folder_ + "/" + portName_; }
    const std::string& PrintedName() const { return printedName_; }
    int Pid() const { return pid_; }

private:
    std::string folder_;
    std::string portName_;
    std::string printedName_;
    int pid_ = -1;
};

// Simulators COM1 ... COMn, board n started with simArgs[n - 1], their ports published together
// in folder, which is emptied first and removed with the boards.
class SimBoards {
public:
    SimBoards(const std::string& folder, const std::vector<std::vector<std::string>>& simArgs);
    ~SimBoards();
    SimBoards(const SimBoards&) = delete;
    SimBoards& operator=(const SimBoards&) = delete;

    const std::string& Folder() const { return folder_; }
    // "COM1,COM2,...", as a --port list.
    std::string PortList() const;
    // Board number (from 1).
    SimProcess& Board(std::size_t number) { return *boards_.at(number - 1); }

private:
    std::string folder_;
    std::vector<std::unique_ptr<SimProcess>> boards_;
};

// The published port opened the way a client opens a serial port: raw, 9600 8N1.
class PortClient {
public:
    explicit PortClient(const std::string& path);
    ~PortClient();

    // Writes all of text, waiting while the line is full (bounded against a hang).
    void Write(const std::string& text) const;

    // Reads until the text holds a CR or the deadline passes (a bound against a hang only).
    std::string ReadLine(std::chrono::milliseconds deadline = std::chrono::seconds(10)) const;

    // Reads whatever arrives within span.
    std::string ReadFor(std::chrono::milliseconds span) const;

    // Waits (bounded) for the next bytes and returns those of the first read.
    std::string ReadSome(std::chrono::milliseconds deadline = std::chrono::seconds(10)) const;

private:
    int fd_ = -1;
};

} // namespace kronax::sim
