#pragma once

#include "link/PortIdentity.h"
#include "link/SerialError.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kronax {

class IFormView;
class StatusLine;
class TSerialPort;

// Raised when a port entry does not end in a number: "'<text>' is not a valid integer value".
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const std::string& text);
};

// The COM port choice: the port list cmbComPort, the label lblConnection beside it, the
// remembered port number ComPortNumber, and the connection shown in the status bar. UI thread
// only.
class PortChoice {
public:
    // status must outlive this object.
    PortChoice(IFormView& view, StatusLine& status);

    // Fills the list with ports, in the order given; the selected entry stays selected when its
    // port is still listed, else none is.
    void Fill(const std::vector<PortIdentity>& ports);

    // Lists the present ports anew, keeping the selected entry selected while its port is
    // present. A list that cannot be read is left as it was and the status bar says why.
    void Refresh();

    std::int32_t ComPortNumber() const { return comPortNumber_; }

    // Takes number as ComPortNumber and selects the entry "COM<number>", or no entry when the list
    // lacks it.
    void Remember(std::int32_t number);

    // The entry selected (by the operator or the program), or -1 for none.
    int Selected() const { return selected_; }
    void Select(int index);

    // Opens the port of the selected entry; does nothing without a selection. Stores the entry's
    // number in ComPortNumber, closes port, names it after the number and opens it, whether or not
    // it was open under that name. A failed opening clears the selection and shows "No com port
    // opened."; the status bar says which port failed and why. Returns whether port is connected
    // afterwards. Raises EConvertError, before the port is touched, when the entry's text after
    // "COM" is not a number; ESerialPort when the port cannot be closed.
    bool Choose(TSerialPort& port);

    // The device behind the open port has gone: closes port, clears the selection, shows "No com
    // port opened." and says in the status bar that the port was disconnected. A port that cannot
    // even be closed stays open; every later command then ends here again. With sentNoAnswer the
    // status bar adds that the command under way went out and may be on the board. Raises
    // nothing.
    void DropVanished(TSerialPort& port, bool sentNoAnswer = false);

    // Looks at the present ports: drops the open port when it is no longer listed (saying, with
    // lastUnanswered, that its last command went out and got no answer), lists the ports anew
    // when they changed (unless the list is dropped down), and says once when a disconnected
    // port is back. Never reconnects by itself.
    void WatchPorts(TSerialPort& port, bool lastUnanswered = false);

    // Why commands cannot reach the board, "no com port opened" or "COM<n> was disconnected";
    // empty while port is connected.
    std::string NotSentReason(const TSerialPort& port) const;

private:
    void SelectName(const std::string& name);
    void ShowConnection(const TSerialPort& port);
    void ShowNoConnection();

    IFormView& view_;
    StatusLine& status_;
    std::int32_t comPortNumber_ = 1;
    std::vector<PortIdentity> ports_;
    int selected_ = -1;
    // The port last dropped because its device had gone; empty once a port is chosen.
    std::string vanishedPort_;
    bool announcedBack_ = false;
};

} // namespace kronax
