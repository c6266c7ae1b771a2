#pragma once

#include <cstdint>
#include <string>

namespace kronax {

// The port operations a command exchange relies on; the serial port provides them.
// Called on the thread that owns the port only (the window's UI thread, or kronax's worker
// thread for that port). Failures raise ESerialPort.
class ICommandPort {
public:
    virtual ~ICommandPort() = default;

    // True exactly while the port is open.
    virtual bool Connected() const = 0;

    // Discards what the driver holds in its receive queue (input) and transmit queue (output).
    virtual void PurgeBuffers(bool input, bool output) = 0;

    // Sends the bytes of text unchanged and returns once the write has completed.
    virtual int WriteText(const std::string& text) = 0;

    // Hands over at most count bytes already received, without waiting; text receives exactly
    // those bytes and the result is their number (0 when nothing has arrived).
    virtual int ReadText(std::string& text, int count) = 0;

    // Blocks until at least one received byte waits to be read or milliseconds have passed,
    // whichever comes first; may also return earlier with nothing to read. Takes nothing from
    // the receive queue.
    virtual void WaitForInput(std::uint32_t milliseconds) = 0;
};

} // namespace kronax
