#include "cli/ConfigFiles.h"

#include "cli/Text.h"
#include "config_file/FileError.h"
#include "config_file/IniEntryStore.h"
#include "config_file/RegularFile.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/TransferMessages.h"

#include <filesystem>

namespace kronax::cli {
namespace {

namespace fs = std::filesystem;

// File transfers never reach the board.
class NoBoard : public ICommandChannel {
public:
    bool TransactCommand(const std::string&, std::string& reply, std::int32_t) override {
        reply.clear();
        return false;
    }
};

EFileProblem Problem(const std::string& fileName, const std::string& reason) {
    return EFileProblem(fileName + ": " + reason);
}

void CheckReadable(const std::string& fileName) {
    std::error_code error;
    const fs::file_status status = fs::status(fileName, error);
    if (fs::is_directory(status))
        throw Problem(fileName, "is a folder, not a configuration file");
    // The file is never opened unless it is a regular one: opening a FIFO would wait for a
    // writer.
    if (!ReadRegularFile(fileName, &error))
        throw Problem(fileName, ReasonText(error));
}

} // namespace

LoadedFile LoadConfigFile(const std::string& fileName) {
    CheckReadable(fileName);
    TIniEntryStore store(fileName);
    MemoryConfigurationView view;
    NoBoard noBoard;
    const std::string report = ReadConfiguration(ConfigTarget::File, {view, noBoard, &store});
    LoadedFile loaded;
    loaded.snapshot = view.Snapshot();
    const std::vector<std::string> lines = ReportLines(report);
    for (std::size_t index = 0; index < PayloadKinds.size(); ++index) {
        const PayloadKind kind = PayloadKinds[index];
        loaded.payloads[index] =
            store.ReadEntry(std::string(ConfigSection), std::string(KindName(kind)), "");
        if (index >= lines.size() || lines[index] != FileReadMessagesFor(kind).read)
            loaded.problems.push_back(index < lines.size() ? lines[index] : "");
    }
    return loaded;
}

void CheckOutputFile(const std::string& fileName, bool force) {
    std::error_code error;
    const fs::file_status status = fs::status(fileName, error);
    if (fs::is_directory(status))
        throw Problem(fileName, "is a folder, not a configuration file");
    if (fs::exists(status) && !force)
        throw Problem(fileName, "exists already (--force overwrites it)");
}

void SaveConfigFile(const std::string& fileName, const ConfigurationSnapshot& snapshot,
                    bool force) {
    CheckOutputFile(fileName, force);
    MemoryConfigurationView view(snapshot);
    NoBoard noBoard;
    TIniEntryStore file(fileName);
    // All six entries go into the file in one update, so it is either as before or complete.
    TEntryBatch batch(file);
    WriteConfiguration(ConfigTarget::File, {view, noBoard, &batch});
    try {
        file.WriteEntries(batch.Entries());
    } catch (const EIniWrite& error) {
        throw Problem(fileName, "cannot be written: " + ReasonText(error.Reason()));
    }
}

} // namespace kronax::cli
