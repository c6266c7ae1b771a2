#include "app/ConfigFileDialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace kronax {
namespace {

QString Local8Bit(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

// "Description|*.ext|Other|*.x" becomes the dialog's entries "Description (*.ext)", "Other (*.x)".
QStringList NameFilters(std::string_view filter) {
    const QStringList parts = Local8Bit(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + " (" + parts[i + 1] + ")";
    return filters;
}

QFileDialog* CreateDialog(QWidget* owner, const char* name, QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(owner);
    dialog->setObjectName(name);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    return dialog;
}

} // namespace

ConfigFileDialogs::ConfigFileDialogs(QWidget* owner)
    : owner_(owner), SaveDialog_(CreateDialog(owner, "SaveDialog", QFileDialog::AcceptSave)),
      OpenDialog_(CreateDialog(owner, "OpenDialog", QFileDialog::AcceptOpen)) {}

std::optional<std::string> ConfigFileDialogs::RunSaveDialog(const FileDialogOptions& options) {
    return Run(SaveDialog_, options);
}

std::optional<std::string> ConfigFileDialogs::RunOpenDialog(const FileDialogOptions& options) {
    return Run(OpenDialog_, options);
}

std::optional<std::string> ConfigFileDialogs::Run(QFileDialog* dialog,
                                                  const FileDialogOptions& options) {
    std::string_view extension = options.defaultExtension;
    if (extension.starts_with('.'))
        extension.remove_prefix(1);
    dialog->setDefaultSuffix(Local8Bit(extension));
    dialog->setNameFilters(NameFilters(options.filter));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().first().toLocal8Bit().toStdString();
}

bool ConfigFileDialogs::ConfirmWarning(std::string_view message, std::string_view caption) {
    QMessageBox box(QMessageBox::Warning, Local8Bit(caption), Local8Bit(message),
                    QMessageBox::Ok | QMessageBox::Cancel, owner_);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

} // namespace kronax
