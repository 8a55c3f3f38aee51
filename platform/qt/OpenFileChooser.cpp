#include "platform/qt/OpenFileChooser.h"

#include <memory>

#include <QFileDialog>
#include <QFileInfo>

#include "platform/qt/ResultFileChooser.h"

namespace ravolin {

QFileDialog* createOpenFileDialog(QWidget* owner, const OpenFileRequest& request, const QString& folder) {
    auto* dialog = new QFileDialog(owner, request.title, folder);
    // Ours, not the desktop's, as the result's chooser: the same look, and Japanese wherever Qt's catalog is.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters(request.nameFilters);
    return dialog;
}

std::optional<std::string> QtOpenFileChooser::GetOpenFileName(QWidget* owner, const OpenFileRequest& request) {
    const QString last = m_lastFolders.value(request.title);
    const std::unique_ptr<QFileDialog> dialog(
        createOpenFileDialog(owner, request, last.isEmpty() ? defaultResultFolder() : last));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog->selectedFiles().front();
    m_lastFolders.insert(request.title, QFileInfo(chosen).absolutePath());
    return chosen.toStdString();
}

}  // namespace ravolin
