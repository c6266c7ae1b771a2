#pragma once

#include "config_file/ConfigFileWindow.h"

#include <optional>
#include <string>
#include <string_view>

#include <QFileDialog>
#include <QString>

class QWidget;

namespace kronax {

// SaveDialog and OpenDialog of the main window and the warning question of the save flow. Each
// use builds its dialog afresh; the next one starts in the folder the last one ended in. UI
// thread only.
class ConfigFileDialogs {
public:
    // The dialogs and the question belong to owner.
    explicit ConfigFileDialogs(QWidget* owner);

    // Shows SaveDialog set up by options, modal. It does not ask about an existing file itself.
    // Returns the chosen name (with the default extension added when it has none), or nothing on
    // Cancel.
    std::optional<std::string> RunSaveDialog(const FileDialogOptions& options);

    // Shows OpenDialog set up by options, modal; it accepts the name of a missing file too.
    // Returns the chosen name, or nothing on Cancel.
    std::optional<std::string> RunOpenDialog(const FileDialogOptions& options);

    // Asks message in a modal warning box titled caption, with OK and Cancel; true for OK,
    // false for Cancel or when the box is closed.
    bool ConfirmWarning(std::string_view message, std::string_view caption);

private:
    std::optional<std::string> Run(const char* name, QFileDialog::AcceptMode mode,
                                   const FileDialogOptions& options);

    QWidget* owner_;
    QString folder_;
};

} // namespace kronax
