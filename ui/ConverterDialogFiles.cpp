// Jobs in files of any name: opening, saving under a name, the recent files, the examples, and a file handed
// over by another start of the program. The file last opened or saved is the window's settings file: every
// save, auto-save included, writes it.
#include "ui/ConverterDialog.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "settings/Examples.h"
#include "settings/RecentFiles.h"
#include "settings/SettingsStore.h"
#include "ui/DialogTexts.h"
#include "ui/SaveMessages.h"

namespace ravolin {
namespace {

std::string absolutePath(const std::string& path) {
    return QDir::cleanPath(QFileInfo(QString::fromStdString(path)).absoluteFilePath()).toStdString();
}

bool fileExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

}  // namespace

void ConverterDialog::setSettingsFileNamed(bool named) {
    m_settingsNamed = named;
    if (m_client) updateTitle();
}

void ConverterDialog::OnOpenSettings() {
    if (isRunning()) {
        showBusyWarning();
        return;
    }
    if (const std::optional<std::string> path = m_services.settingsFileChooser.GetOpenFileName(this, settingsFolder()))
        openSettingsFile(*path);
}

bool ConverterDialog::openSettingsFile(const std::string& chosen) {
    if (isRunning()) {
        showBusyWarning();
        return false;
    }
    const std::string path = absolutePath(chosen);
    // Read before anything is asked: a file that can't be had leaves the window and its file as they are.
    Document loaded;
    const int refusal = fileExists(path) ? loadSettingsFile(path, loaded) : ENOENT;
    if (refusal) {
        const std::string message = refusal == ENOENT
                                        ? fillText(kOpenMissingMessage, path)
                                        : fillText(kOpenRefusedMessage, describeLoadFailure(path, refusal));
        m_services.messageBox.MessageBox(this, message, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!mayLeaveDocument(kOpenUnsavedQuestion, kOpenAutoSaveFailedQuestion)) return false;
    takeDocument(std::move(loaded));
    m_settingsPath = path;
    m_settingsNamed = true;
    m_loadRefusal = 0;
    m_bFirstStart = false;
    setUnsaved(0);
    noteRecentFile(path);
    return true;
}

void ConverterDialog::takeDocument(Document loaded) {
    m_record = loaded.record;
    m_nLoopCount = loaded.window.loopCount;
    m_strTemplate = loaded.window.templateText;
    LogFont font;
    if (!parseFontDescription(loaded.window.font, font)) loaded.window.font = m_strFont;
    showDocument(loaded);
    forgetOutputAndUndo();
    m_savedDocument = documentShown();
}

void ConverterDialog::forgetOutputAndUndo() {
    // The output and the undo were of the job the window showed before.
    SetDlgItemText(kIdOutput, kOutputPlaceholder);
    m_beforeTable.reset();
    EnableMenuItem(kCmdUndoTable, false);
}

void ConverterDialog::OnSaveSettingsAs() {
    const std::string suggested =
        m_settingsNamed ? m_settingsPath : settingsFolder() + "/" + std::string(kSettingsFileName);
    const std::optional<std::string> chosen = m_services.settingsFileChooser.GetSaveFileName(this, suggested);
    if (!chosen) return;
    const std::string path = absolutePath(*chosen);
    const std::string pathBefore = m_settingsPath;
    const int refusalBefore = m_loadRefusal;
    // The refusal guards the file that could not be read, not another one.
    if (path != m_settingsPath) m_loadRefusal = 0;
    m_settingsPath = path;
    const SaveResult saved = saveFromControls();
    if (!saved.ok) {
        m_settingsPath = pathBefore;
        m_loadRefusal = refusalBefore;
        m_services.messageBox.MessageBox(this, fillText(kSaveFailedMessage, describeSaveFailure(path, saved)),
                                         kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_settingsNamed = true;
    m_bFirstStart = false;
    noteRecentFile(path);
    noteSaved();
    warnAboutAdjustments(saved);
}

void ConverterDialog::OnOpenRequest(const std::string& path) {
    if (isHidden()) OnTrayShowWindow();
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    openSettingsFile(path);
}

std::string ConverterDialog::settingsFolder() const {
    const std::string file = m_services.recentFilesFile ? m_services.recentFilesFile(false) : std::string();
    const std::vector<std::string> recent = file.empty() ? std::vector<std::string>() : readRecentFiles(file);
    const std::string last = recent.empty() ? absolutePath(m_settingsPath) : recent.front();
    return QFileInfo(QString::fromStdString(last)).absolutePath().toStdString();
}

void ConverterDialog::noteRecentFile(const std::string& path) {
    const std::string file = m_services.recentFilesFile ? m_services.recentFilesFile(true) : std::string();
    if (!file.empty()) writeRecentFiles(file, withRecentFile(readRecentFiles(file), path));
    refreshRecentMenu();
}

void ConverterDialog::OnClearRecentFiles() {
    const std::string file = m_services.recentFilesFile ? m_services.recentFilesFile(false) : std::string();
    if (!file.empty() && fileExists(file)) writeRecentFiles(file, {});
    refreshRecentMenu();
}

void ConverterDialog::refreshRecentMenu() {
    QAction* clear = GetMenuItem(kCmdClearRecent);
    auto* menu = qobject_cast<QMenu*>(clear->parent());
    for (int i = 0; i < kMaxRecentFiles; ++i) {
        if (QAction* item = GetMenuItem(recentCommand(i))) {
            m_menu.items.erase(recentCommand(i));
            delete item;
        }
    }
    const std::string file = m_services.recentFilesFile ? m_services.recentFilesFile(false) : std::string();
    m_recentShown = file.empty() ? std::vector<std::string>() : readRecentFiles(file);
    QAction* separator = menu->actions().at(menu->actions().indexOf(clear) - 1);
    // An empty list still shows where the files will be.
    const std::size_t rows = std::max<std::size_t>(m_recentShown.size(), 1);
    for (std::size_t i = 0; i < rows; ++i) {
        const int id = recentCommand(static_cast<int>(i));
        QString caption = QString::fromUtf8(kRecentNone);
        if (i < m_recentShown.size()) {
            QString shown = QDir::toNativeSeparators(QString::fromStdString(m_recentShown[i]));
            shown.replace('&', QStringLiteral("&&"));
            caption = QString::fromUtf8(kRecentFileItem).arg(i + 1).arg(shown);
        }
        auto* item = new QAction(caption, menu);
        item->setData(id);
        // A file gone since is shown, grayed, until the list moves on.
        item->setEnabled(i < m_recentShown.size() && fileExists(m_recentShown[i]));
        connect(item, &QAction::triggered, this, [this, id] { OnCommand(id); });
        menu->insertAction(separator, item);
        m_menu.items[id] = item;
    }
    clear->setEnabled(!m_recentShown.empty());
}

void ConverterDialog::OnRecentFile(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < m_recentShown.size())
        openSettingsFile(m_recentShown[static_cast<std::size_t>(index)]);
}

void ConverterDialog::OnExample(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= kExampleCount) return;
    if (isRunning()) {
        showBusyWarning();
        return;
    }
    if (!mayDiscardUnsaved()) return;
    Document example = exampleDocument(static_cast<std::size_t>(index));
    // The options and the font are the window's, not the job's.
    const WindowSettings shown = documentShown().window;
    example.window.beep = shown.beep;
    example.window.tray = shown.tray;
    example.window.autoSave = shown.autoSave;
    example.window.font = shown.font;
    showDocument(example);
    forgetOutputAndUndo();
    setUnsaved(1);
}

}  // namespace ravolin
