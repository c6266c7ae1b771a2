#include "cli/ConfigFiles.h"

#include "cli/Console.h"
#include "cli/Text.h"
#include "config_file/FileError.h"
#include "config_file/IniEntryStore.h"
#include "config_file/IniTextStore.h"
#include "config_file/RegularFile.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/OutcomeText.h"
#include "protocol/PayloadCodec.h"

#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace kronax::cli {
namespace {

namespace fs = std::filesystem;

EFileProblem Problem(const std::string& fileName, const std::string& reason) {
    return EFileProblem(fileName + ": " + reason);
}

std::string ReadableText(const std::string& fileName) {
    if (fileName == StandardStream) {
        UseStandardInputForFileBytes();
        std::string text;
        char buffer[65536];
        while (std::cin.read(buffer, sizeof buffer) || std::cin.gcount() > 0) {
            text.append(buffer, static_cast<std::size_t>(std::cin.gcount()));
            if (text.size() > MaxFileBytes)
                throw Problem(fileName, ReasonText(FileError::TooLarge));
        }
        return text;
    }
    std::error_code error;
    const fs::file_status status = fs::status(fileName, error);
    if (fs::is_directory(status))
        throw Problem(fileName, "is a folder, not a configuration file");
    // The file is never opened unless it is a regular one: opening a FIFO would wait for a
    // writer.
    const auto text = ReadRegularFile(fileName, &error);
    if (!text)
        throw Problem(fileName, ReasonText(error));
    return *text;
}

std::string FolderOf(const std::string& fileName) {
    const fs::path folder = fs::path(fileName).parent_path();
    return folder.empty() ? "." : folder.string();
}

std::string WithPayloads(std::string text, const PayloadTexts& payloads) {
    IniTextStore store(std::move(text));
    WritePayloadEntries(payloads, store);
    return store.Text();
}

} // namespace

LoadedFile LoadConfigFile(const std::string& fileName) {
    LoadedFile loaded;
    loaded.name = fileName;
    loaded.bytes = ReadableText(fileName);
    loaded.payloads = ReadPayloadEntries(IniTextStore(loaded.bytes));
    MemoryConfigurationView view;
    const TransferReport report = DecodePayloadTexts(loaded.payloads, view);
    loaded.snapshot = view.Snapshot();
    for (const TransferStep& step : report.steps)
        if (!step.Succeeded())
            loaded.problems.emplace_back(step.kind,
                                         std::string(StepOutcomeText(report.transfer, step)));
    return loaded;
}

bool ReserveOutputFile(const std::string& fileName, bool force) {
    if (fileName == StandardStream)
        return false;
    const std::string folder = FolderOf(fileName);
    std::error_code error;
    if (!fs::is_directory(folder, error))
        throw Problem(fileName, "the folder " + folder + " does not exist");
    if (access(folder.c_str(), W_OK) != 0)
        throw Problem(fileName, "the folder " + folder + " is not writable");
    const fs::file_status status = fs::status(fileName, error);
    if (fs::is_directory(status))
        throw Problem(fileName, "is a folder, not a configuration file");
    if (fs::exists(status) && !fs::is_regular_file(status))
        throw Problem(fileName, "is not a regular file (a FIFO, device or socket)");
    if (force && fs::exists(status))
        return false;
    error = CreateNewFile(fileName);
    if (error == std::errc::file_exists)
        throw Problem(fileName, "exists already (--force overwrites it)");
    if (error)
        throw Problem(fileName, "cannot be created: " + ReasonText(error));
    return true;
}

void SavePayloads(const std::string& fileName, const PayloadTexts& payloads) {
    IniEntryStore file(fileName);
    // All six entries go into the file in one update, so it is either as before or complete.
    EntryBatch batch(file);
    WritePayloadEntries(payloads, batch);
    try {
        file.WriteEntries(batch.Entries());
    } catch (const EIniWrite& error) {
        throw Problem(fileName, "cannot be written: " + ReasonText(error.Reason()));
    }
}

void SaveConfigFile(const std::string& fileName, const ConfigurationSnapshot& snapshot,
                    bool force) {
    std::error_code error;
    const fs::file_status status = fs::status(fileName, error);
    if (fs::is_directory(status))
        throw Problem(fileName, "is a folder, not a configuration file");
    if (fs::exists(status) && !force)
        throw Problem(fileName, "exists already (--force overwrites it)");
    SavePayloads(fileName, EncodePayloads(snapshot));
}

std::string PayloadsFileText(const PayloadTexts& payloads) {
    return WithPayloads("", payloads);
}

} // namespace kronax::cli
