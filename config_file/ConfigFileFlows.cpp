#include "config_file/ConfigFileFlows.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/OutcomeText.h"

namespace kronax {

std::optional<std::string> StoreConfigurationToFile(const ConfigFileContext& context) {
    const auto fileName = context.window.ChooseSaveFile(ConfigFileDialogOptions);
    if (!fileName)
        return std::nullopt;
    if (context.fileExists(*fileName) &&
        !context.window.ConfirmWarning("File exists. Overwrite?", "Warning"))
        return std::nullopt;

    const std::unique_ptr<IEntryFile> configFile = context.openStore(*fileName);
    // A crash between entry-by-entry writes would leave a file mixing two configurations.
    EntryBatch batch(*configFile);
    WriteConfiguration(context.view, batch);
    configFile->WriteEntries(batch.Entries());
    return fileName;
}

FileOpening LoadConfigurationFromFile(const ConfigFileContext& context) {
    const auto fileName = context.window.ChooseOpenFile(ConfigFileDialogOptions);
    if (!fileName)
        return {};
    return LoadConfigurationFromFile(context, *fileName);
}

FileOpening LoadConfigurationFromFile(const ConfigFileContext& context,
                                      const std::string& fileName) {
    FileOpening opening;
    opening.fileName = fileName;
    if (!context.fileExists(fileName))
        return opening;

    {
        const std::unique_ptr<IEntryFile> configFile = context.openStore(fileName);
        // All six payloads from one read: a file replaced meanwhile, as Save replaces it, can
        // never give the board a mixture of two.
        FileSnapshot snapshot = configFile->Snapshot();
        opening.readReport = ReadConfiguration(context.view, *snapshot.entries);
        opening.fileBytes = std::move(snapshot.bytes);
    }
    context.window.SetReport(ReportText(opening.readReport));
    if (!opening.readReport.AllSucceeded()) {
        opening.outcome = FileOpening::Outcome::NotSent;
        return opening;
    }
    if (!context.window.ConfirmSend(fileName)) {
        opening.outcome = FileOpening::Outcome::Withheld;
        return opening;
    }
    context.window.Repaint();
    opening.writeReport = WriteConfiguration(context.view, context.channel);
    context.window.SetReport(ReportText(opening.writeReport));
    opening.outcome = FileOpening::Outcome::Sent;
    return opening;
}

} // namespace kronax
