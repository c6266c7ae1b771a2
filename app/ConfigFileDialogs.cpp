#include "app/ConfigFileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QStringList>
#include <QTreeView>

#include <algorithm>

namespace kronax {
namespace {

constexpr int DialogWidth = 860;
constexpr int DialogHeight = 480;

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

// The detail view's size, type and date columns as wide as what they show; the name takes the rest.
void FitColumns(QFileDialog& dialog) {
    auto* view = dialog.findChild<QTreeView*>();
    if (!view)
        return;
    QHeaderView* header = view->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

} // namespace

ConfigFileDialogs::ConfigFileDialogs(QWidget* owner) : owner_(owner) {}

std::optional<std::string> ConfigFileDialogs::RunSaveDialog(const FileDialogOptions& options) {
    return Run("SaveDialog", QFileDialog::AcceptSave, options);
}

std::optional<std::string> ConfigFileDialogs::RunOpenDialog(const FileDialogOptions& options) {
    return Run("OpenDialog", QFileDialog::AcceptOpen, options);
}

// A new dialog each time: a dialog kept hidden between uses scans its folder while the window
// starts, and leaves its name-completion popup behind over the window after Enter.
std::optional<std::string> ConfigFileDialogs::Run(const char* name, QFileDialog::AcceptMode mode,
                                                  const FileDialogOptions& options) {
    QFileDialog dialog(owner_);
    dialog.setObjectName(name);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!folder_.isEmpty())
        dialog.setDirectory(folder_);
    std::string_view extension = options.defaultExtension;
    if (extension.starts_with('.'))
        extension.remove_prefix(1);
    dialog.setDefaultSuffix(Local8Bit(extension));
    dialog.setNameFilters(NameFilters(options.filter));
    // Wide and tall enough that the name, size, type and date columns show whole.
    dialog.resize(std::max(dialog.width(), DialogWidth), std::max(dialog.height(), DialogHeight));
    FitColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        folder_ = dialog.directory().absolutePath();
        return std::nullopt;
    }
    const QString chosen = dialog.selectedFiles().first();
    folder_ = QFileInfo(chosen).absolutePath();
    return chosen.toLocal8Bit().toStdString();
}

bool ConfigFileDialogs::ConfirmWarning(std::string_view message, std::string_view caption) {
    QMessageBox box(QMessageBox::Warning, Local8Bit(caption), Local8Bit(message),
                    QMessageBox::Ok | QMessageBox::Cancel, owner_);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

} // namespace kronax
