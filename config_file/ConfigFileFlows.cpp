#include "config_file/ConfigFileFlows.h"
#include "protocol/ConfigurationTransfer.h"

namespace kronax {

void StoreConfigurationToFile(const ConfigFileContext& context) {
    const auto fileName = context.window.ChooseSaveFile(ConfigFileDialogOptions);
    if (!fileName)
        return;
    if (context.fileExists(*fileName) &&
        !context.window.ConfirmWarning("File exists. Overwrite?", "Warning"))
        return;

    const std::unique_ptr<IEntryStore> configFile = context.openStore(*fileName);
    WriteConfiguration(ConfigTarget::File, {context.view, context.channel, configFile.get()});
}

void LoadConfigurationFromFile(const ConfigFileContext& context) {
    const auto fileName = context.window.ChooseOpenFile(ConfigFileDialogOptions);
    if (!fileName || !context.fileExists(*fileName))
        return;

    std::string readReport;
    {
        const std::unique_ptr<IEntryStore> configFile = context.openStore(*fileName);
        readReport = ReadConfiguration(ConfigTarget::File,
                                       {context.view, context.channel, configFile.get()});
    }
    context.window.SetReport(readReport);
    context.window.Repaint();
    const auto writeReport =
        WriteConfiguration(ConfigTarget::Device, {context.view, context.channel});
    context.window.SetReport(*writeReport);
}

} // namespace kronax
