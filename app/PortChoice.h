#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class QComboBox;
class QLabel;

namespace kronax {

class TSerialPort;

// Raised when a port entry does not end in a number: "'<text>' is not a valid integer value".
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const std::string& text);
};

// The COM port choice: the port list cmbComPort, the label lblConnection beside it and the
// remembered port number ComPortNumber. UI thread only.
class PortChoice {
public:
    PortChoice(QComboBox* cmbComPort, QLabel* lblConnection);

    // Fills the list with names, in the order given.
    void Fill(const std::vector<std::string>& names);

    std::int32_t ComPortNumber() const { return comPortNumber_; }

    // Takes number as ComPortNumber and selects the entry "COM<number>", or no entry when the list
    // lacks it.
    void Remember(std::int32_t number);

    // Opens the port of the selected entry; does nothing without a selection. Stores the entry's
    // number in ComPortNumber, closes port, names it after the number and opens it, whether or not
    // it was open under that name. A failed opening clears the selection and shows "No com port
    // opened.". Returns whether port is connected afterwards. Raises EConvertError, before the
    // port is touched, when the entry's text after "COM" is not a number; ESerialPort when the
    // port cannot be closed.
    bool Choose(TSerialPort& port);

private:
    QComboBox* cmbComPort_;
    QLabel* lblConnection_;
    std::int32_t comPortNumber_ = 1;
};

} // namespace kronax
