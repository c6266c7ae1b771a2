#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kronax {

// How the file dialogs of the configuration flows are set up.
struct FileDialogOptions {
    std::string_view defaultExtension;
    // Pairs of description and pattern joined by "|".
    std::string_view filter;
};

// The parts of the main window that saving and opening a configuration file use: its dialogs,
// its repaint and its report label. The window implements it; tests answer it. UI thread only.
class IConfigFileWindow {
public:
    virtual ~IConfigFileWindow() = default;

    // Shows the save dialog; returns the chosen file name, or nothing when the operator cancels.
    virtual std::optional<std::string> ChooseSaveFile(const FileDialogOptions& options) = 0;

    // Shows the open dialog, which also accepts the name of a file that does not exist; returns
    // the chosen file name, or nothing when the operator cancels.
    virtual std::optional<std::string> ChooseOpenFile(const FileDialogOptions& options) = 0;

    // Shows a warning dialog with the buttons OK and Cancel; true when the operator chooses OK,
    // false on Cancel or when the dialog is closed.
    virtual bool ConfirmWarning(std::string_view message, std::string_view caption) = 0;

    // The last word before a file read whole is sent to the board: false keeps its configuration
    // in the window only.
    virtual bool ConfirmSend(const std::string& /*fileName*/) { return true; }

    // Repaints the window at once, before the next blocking step begins.
    virtual void Repaint() = 0;

    // Replaces the text of the report label with a transfer report.
    virtual void SetReport(const std::string& report) = 0;
};

} // namespace kronax
