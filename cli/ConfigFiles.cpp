#include "cli/ConfigFiles.h"

#include "cli/Text.h"
#include "config_file/IniEntryStore.h"
#include "config_file/IniTextStore.h"
#include "config_file/RegularFile.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/OutcomeText.h"

#include <filesystem>

namespace kronax::cli {
namespace {

namespace fs = std::filesystem;

EFileProblem Problem(const std::string& fileName, const std::string& reason) {
    return EFileProblem(fileName + ": " + reason);
}

void CheckReadable(const std::string& fileName) {
    std::error_code error;
    const fs::file_status status = fs::status(fileName, error);
    if (!fs::exists(status))
        throw Problem(fileName, "no such file");
    if (fs::is_directory(status))
        throw Problem(fileName, "is a folder, not a configuration file");
    // Checked before any opening: opening a FIFO would wait for a writer.
    if (!IsRegularFile(fileName))
        throw Problem(fileName, "is not a regular file");
    if (!ReadRegularFile(fileName))
        throw Problem(fileName, "cannot be read (permission denied)");
}

} // namespace

LoadedFile LoadConfigFile(const std::string& fileName) {
    CheckReadable(fileName);
    LoadedFile loaded;
    loaded.payloads = ReadPayloadEntries(TIniEntryStore(fileName));
    MemoryConfigurationView view;
    const TransferReport report = DecodePayloadTexts(loaded.payloads, view);
    loaded.snapshot = view.Snapshot();
    for (const TransferStep& step : report.steps)
        if (!step.Succeeded())
            loaded.problems.emplace_back(StepOutcomeText(report.transfer, step));
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
    // All six entries go into the file in one update, so it is either as before or complete;
    // links, mode and owner are kept as the INI object keeps them.
    const bool written = EditRegularFile(fileName, [&](const std::string& oldText) {
        TIniTextStore text(oldText);
        WriteConfiguration(view, text);
        return text.Text();
    });
    if (!written)
        throw Problem(fileName, "cannot be written (not a regular file, read-only, or the folder "
                                "is missing or read-only)");
}

} // namespace kronax::cli
