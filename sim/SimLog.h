#pragma once

#include <fstream>
#include <string>

namespace kronax::sim {

// The simulator's own traffic log: one line per line received or sent, with the local time to
// the millisecond, the direction, and the text with CR and LF shown as \r and \n.
class SimLog {
public:
    // Appends to file; an empty name logs nothing. Raises std::runtime_error when the file
    // cannot be opened.
    explicit SimLog(const std::string& file);

    void Received(const std::string& text) { Write("RX", text); }
    void Sent(const std::string& text) { Write("TX", text); }

private:
    void Write(const char* direction, const std::string& text);

    std::ofstream out_;
};

} // namespace kronax::sim
