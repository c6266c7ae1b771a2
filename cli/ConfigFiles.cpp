#include "cli/ConfigFiles.h"

#include "cli/Text.h"
#include "config_file/IniEntryStore.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/TransferMessages.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

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
    if (!fs::exists(status))
        throw Problem(fileName, "no such file");
    if (fs::is_directory(status))
        throw Problem(fileName, "is a folder, not a configuration file");
    if (!std::ifstream(fileName))
        throw Problem(fileName, "cannot be read (permission denied)");
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
    const std::string fresh = fileName + ".kronax-" + std::to_string(getpid());
    std::error_code error;
    try {
        if (fs::exists(fileName) &&
            !fs::copy_file(fileName, fresh, fs::copy_options::overwrite_existing, error))
            throw Problem(fileName, "cannot be read (" + error.message() + ")");
        TIniEntryStore store(fresh);
        MemoryConfigurationView view(snapshot);
        NoBoard noBoard;
        WriteConfiguration(ConfigTarget::File, {view, noBoard, &store});
        fs::rename(fresh, fileName, error);
        if (error)
            throw Problem(fileName, "cannot be written (" + error.message() + ")");
    } catch (const EFileProblem&) {
        fs::remove(fresh, error);
        throw;
    } catch (const std::exception&) {
        fs::remove(fresh, error);
        throw Problem(fileName, "cannot be written (the folder is missing or read-only)");
    }
}

} // namespace kronax::cli
