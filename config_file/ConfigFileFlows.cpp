#include "config_file/ConfigFileFlows.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/ReportTally.h"

namespace kronax {

std::optional<std::string> StoreConfigurationToFile(const ConfigFileContext& context) {
    const auto fileName = context.window.ChooseSaveFile(ConfigFileDialogOptions);
    if (!fileName)
        return std::nullopt;
    if (context.fileExists(*fileName) &&
        !context.window.ConfirmWarning("File exists. Overwrite?", "Warning"))
        return std::nullopt;

    const std::unique_ptr<IEntryStore> configFile = context.openStore(*fileName);
    WriteConfiguration(ConfigTarget::File, {context.view, context.channel, configFile.get()});
    return fileName;
}

FileOpening LoadConfigurationFromFile(const ConfigFileContext& context) {
    FileOpening opening;
    const auto fileName = context.window.ChooseOpenFile(ConfigFileDialogOptions);
    if (!fileName)
        return opening;
    opening.fileName = *fileName;
    if (!context.fileExists(*fileName))
        return opening;

    {
        const std::unique_ptr<IEntryStore> configFile = context.openStore(*fileName);
        opening.readReport = ReadConfiguration(ConfigTarget::File,
                                               {context.view, context.channel, configFile.get()});
    }
    context.window.SetReport(opening.readReport);
    if (!TallyReport(opening.readReport).AllFine()) {
        opening.outcome = FileOpening::Outcome::NotSent;
        return opening;
    }
    context.window.Repaint();
    opening.writeReport =
        *WriteConfiguration(ConfigTarget::Device, {context.view, context.channel});
    context.window.SetReport(opening.writeReport);
    opening.outcome = FileOpening::Outcome::Sent;
    return opening;
}

} // namespace kronax
