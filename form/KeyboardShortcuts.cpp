#include "form/KeyboardShortcuts.h"

namespace kronax {

std::string KeyboardShortcutsText() {
    return "Keyboard Shortcuts\n\n"
           "Ctrl+O\tOpen a configuration file: reads it, then writes it to the board\n"
           "Ctrl+S\tSave the configuration shown to a file\n"
           "Ctrl+R\tRead the configuration from the board\n"
           "Ctrl+W\tWrite the configuration shown to the board (Enter does the same)\n"
           "Ctrl+D\tMake what the board holds its power-on default\n"
           "Ctrl+I\tShow the board's serial number and versions\n"
           "Ctrl+L\tShow the traffic log, or the logo again\n"
           "Alt+F, 1 to 5\tOpen one of the last files\n"
           "Tab, Shift+Tab\tGo to the next, the previous field or list\n"
           "Esc\tCancel a question or a dialog\n\n"
           "A double click on the logo shows the traffic log; one on the log's frame shows the "
           "logo again. The ? menu's Last Operation's Report shows the whole report of the last "
           "operation.";
}

} // namespace kronax
