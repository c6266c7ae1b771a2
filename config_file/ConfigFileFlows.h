#pragma once

#include "config_file/ConfigFileWindow.h"
#include "config_file/EntryFile.h"
#include "config_file/FileExists.h"
#include "protocol/CommandChannel.h"
#include "protocol/ConfigurationView.h"
#include "protocol/TransferReport.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kronax {

inline constexpr FileDialogOptions ConfigFileDialogOptions = {".kxcfg",
                                                              "VOXA Kronax Config|*.kxcfg"};

// Opens a configuration file without reading or changing it.
using EntryStoreFactory = std::function<std::unique_ptr<IEntryFile>(const std::string& fileName)>;

// Everything the two flows reach. The store made by openStore lives only while one flow reads
// or writes it, and is released also when an error ends the flow.
struct ConfigFileContext {
    IConfigurationView& view;
    ICommandChannel& channel;
    IConfigFileWindow& window;
    EntryStoreFactory openStore;
    std::function<bool(const std::string&)> fileExists = FileExists;
};

// What an open flow did.
struct FileOpening {
    enum class Outcome {
        // The dialog was cancelled (no file name) or the chosen file does not exist: nothing
        // happened.
        NothingOpened,
        // Some payload of the file was missing, incomplete or illegal: nothing was sent.
        NotSent,
        // Every payload was read, but the window declined to send it (ConfirmSend).
        Withheld,
        // Every payload was read and the configuration was written to the board.
        Sent,
    };
    Outcome outcome = Outcome::NothingOpened;
    // The chosen file; empty when the dialog was cancelled.
    std::string fileName;
    // The bytes of the file as the configuration was read from them.
    std::string fileBytes;
    TransferReport readReport{Transfer::ReadFromFile, {}};
    TransferReport writeReport{Transfer::WriteToBoard, {}};
};

// Asks for a file name, asks "File exists. Overwrite?" when the file exists, and writes the six
// payloads of the configuration the view shows to section "Kronax" of that file in one update;
// the store keeps every other entry and section. Returns the file's name, or nothing when the
// operator cancelled either dialog and nothing was written. Nothing is sent to the board and the
// report label keeps its text. Raises the store's error (for instance "Unable to write to ...")
// after releasing the store; the file is then as it was. On the thread that owns the port.
std::optional<std::string> StoreConfigurationToFile(const ConfigFileContext& context);

// Asks for a file name and, when the file exists, reads the six payloads from it into the view
// and shows the read report. Only when every payload was read does it repaint the window and
// write the configuration now in the view to the board, showing the write report: a file that is
// not a whole configuration would otherwise send the board a mixture of the window's old values
// and the file's. A missing file or a cancelled dialog does nothing. Raises the store's and the
// channel's errors; the store is released before the error leaves, and the report label keeps
// its last text. On the thread that owns the port.
FileOpening LoadConfigurationFromFile(const ConfigFileContext& context);

// The same for a file chosen elsewhere (the command line, the list of recent files), without the
// dialog; the window still has the last word before the configuration is sent.
FileOpening LoadConfigurationFromFile(const ConfigFileContext& context,
                                      const std::string& fileName);

} // namespace kronax
