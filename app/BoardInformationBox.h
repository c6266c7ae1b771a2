#pragma once

#include <QString>

#include <string>

class QMessageBox;

namespace kronax {

// Shows the board information text (UTF-8, lines joined by CR LF) in an information box with
// one OK button and the given caption. The box has no owner and does not block: the main window
// stays usable while it is open, closing the main window still ends the program, and the box
// deletes itself when closed. Returns the box.
// UI thread.
QMessageBox* ShowBoardInformationBox(const QString& caption, const std::string& text);

} // namespace kronax
