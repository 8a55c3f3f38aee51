#include "platform/qt/SettingsFileChooser.h"

#include <memory>

#include <QFileDialog>

namespace ravolin {
namespace {

std::optional<std::string> chosenFile(QWidget* owner, bool save, const std::string& start) {
    const std::unique_ptr<QFileDialog> dialog(createSettingsFileDialog(owner, save, QString::fromStdString(start)));
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog->selectedFiles();
    if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
    return files.front().toStdString();
}

}  // namespace

QFileDialog* createSettingsFileDialog(QWidget* owner, bool save, const QString& start) {
    auto* dialog = new QFileDialog(owner, QString::fromUtf8(save ? "設定に名前を付けて保存" : "設定を開く"));
    // Qt's dialog rather than the desktop's: the same in every desktop, and in Japanese with Qt's catalog.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setNameFilters({QString::fromUtf8("設定ファイル (*.ini)"), QString::fromUtf8("すべてのファイル (*)")});
    if (save) {
        dialog->setDefaultSuffix(QStringLiteral("ini"));
        dialog->selectFile(start);
    } else {
        dialog->setDirectory(start);
    }
    return dialog;
}

std::optional<std::string> QtSettingsFileChooser::GetOpenFileName(QWidget* owner, const std::string& folder) {
    return chosenFile(owner, false, folder);
}

std::optional<std::string> QtSettingsFileChooser::GetSaveFileName(QWidget* owner, const std::string& suggested) {
    return chosenFile(owner, true, suggested);
}

}  // namespace ravolin
