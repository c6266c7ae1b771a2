#include "cli/ConfigFiles.h"

#include "cli/Text.h"
#include "config_file/FileError.h"
#include "config_file/IniEntryStore.h"
#include "config_file/RegularFile.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/OutcomeText.h"
#include "protocol/PayloadCodec.h"

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

void SaveConfigFile(const std::string& fileName, const PayloadTexts& payloads, bool force) {
    CheckOutputFile(fileName, force);
    TIniEntryStore file(fileName);
    // All six entries go into the file in one update, so it is either as before or complete.
    TEntryBatch batch(file);
    WritePayloadEntries(payloads, batch);
    try {
        file.WriteEntries(batch.Entries());
    } catch (const EIniWrite& error) {
        throw Problem(fileName, "cannot be written: " + ReasonText(error.Reason()));
    }
}

void SaveConfigFile(const std::string& fileName, const ConfigurationSnapshot& snapshot,
                    bool force) {
    SaveConfigFile(fileName, EncodePayloads(snapshot), force);
}

} // namespace kronax::cli
