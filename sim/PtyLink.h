#pragma once

#include <string>

namespace kronax::sim {

// A pseudo-terminal published as a COM port: the slave device gets a symbolic link named after
// the port in the device-map folder, the way the tool finds its serial ports. The simulator keeps
// the slave open itself, so a client may open and close the port any number of times without
// the master seeing a hang-up.
class PtyLink {
public:
    // Opens the pty with the slave in raw mode at 9600 baud and publishes it as
    // portsDir/portName, creating the folder when missing. A dangling link of that name is
    // replaced. Raises std::system_error or std::runtime_error (the name is in use).
    PtyLink(const std::string& portsDir, const std::string& portName);

    // Removes the link, if it still points to this pty, and closes both sides.
    ~PtyLink();

    PtyLink(const PtyLink&) = delete;
    PtyLink& operator=(const PtyLink&) = delete;

    int MasterFd() const { return master_; }
    const std::string& SlavePath() const { return slavePath_; }
    const std::string& LinkPath() const { return linkPath_; }

private:
    void Publish();

    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string linkPath_;
};

} // namespace kronax::sim
