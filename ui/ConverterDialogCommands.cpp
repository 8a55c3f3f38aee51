// Where every command enters: the command router, system commands, keys and accelerators. The handlers
// live with their concern (…Buttons, …Menu, …Run, …Save, …Font, …Tray, …Exit).
#include "ui/ConverterDialog.h"

#include <QAction>
#include <QKeyEvent>
#include <QShortcut>

#include "ui/OutputView.h"
#include "ui/controls/EditControls.h"

namespace ravolin {

bool ConverterDialog::OnCommand(int id) {
    switch (id) {
        case kIdExecute:
        case kCmdExecute:
            OnExecute();
            return true;
        case kIdClearEditArea:
        case kCmdClearEditArea:
            OnClearEditArea();
            return true;
        case kIdRestoreStrings:
        case kCmdRestoreStrings:
            OnRestoreReplacementStrings();
            return true;
        case kCmdSaveResult:
            OnSaveResultToFile();
            return true;
        case kIdSaveSettings:
        case kCmdSaveSettings:
            OnSaveSettings();
            return true;
        case kCmdNextPage:
            selectPage(m_nCurTab + 1);
            return true;
        case kCmdPreviousPage:
            selectPage(m_nCurTab - 1);
            return true;
        case kIdAutoSave:
            OnAutoSaveClicked();
            return true;
        case kCmdToggleBeep:
            OnToggleBeep();
            return true;
        case kCmdToggleTray:
            OnToggleTray();
            return true;
        case kIdExit:
            OnOK();
            return true;
        case kIdCancel:
        case kCmdClose:
            OnCancel();
            return true;
        case kCmdExit:
            OnExit();
            return true;
        case kCmdAbout:
        case kCmdTrayAbout:
            OnAbout();
            return true;
        case kCmdGuide:
            OnGuide();
            return true;
        case kCmdFontSettings:
            OnFontSettings();
            return true;
        case kCmdFormatSettings:
            OnFormatSettings();
            return true;
        case kCmdOutputShape:
            OnOutputShape();
            return true;
        case kCmdPasteTable:
            OnPasteTable();
            return true;
        case kCmdOpenTableFile:
            OnOpenTableFile();
            return true;
        case kCmdUndoTable:
            OnUndoTable();
            return true;
        case kCmdOpenSettings:
            OnOpenSettings();
            return true;
        case kCmdSaveSettingsAs:
            OnSaveSettingsAs();
            return true;
        case kCmdClearRecent:
            OnClearRecentFiles();
            return true;
        case kCmdCopyResult:
            OnCopyResult();
            return true;
        case kCmdTrayShow:
            OnTrayShowWindow();
            return true;
        case kCmdTrayExit:
            OnTrayExit();
            return true;
        default:
            if (id >= pageCommand(0) && id < pageCommand(1 + static_cast<int>(kArrayCount))) {
                selectPage(id - pageCommand(0));
                return true;
            }
            if (id >= exampleCommand(0) && id < exampleCommand(kMaxExamples)) {
                OnExample(id - exampleCommand(0));
                return true;
            }
            if (id >= recentCommand(0) && id < recentCommand(kMaxRecentFiles)) {
                OnRecentFile(id - recentCommand(0));
                return true;
            }
            return false;
    }
}

void ConverterDialog::OnSysCommand(unsigned id) {
    // The low four bits of a system command are the system's own.
    switch (id & 0xFFF0u) {
        case kSysCmdAbout:
            OnAbout();
            break;
        case SC_CLOSE:
            close();
            break;
        case SC_MINIMIZE:
            // The state alone: showMinimized() would show the window again after changeEvent has hidden it in
            // the notification area.
            setWindowState((windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
            break;
        case SC_RESTORE:
            showNormal();
            break;
        default:
            break;
    }
}

void ConverterDialog::OnSetFocus(int id) {
    // The output pane selects everything, ready to copy; the loop count is left as it is.
    if (id == kIdOutput) qobject_cast<OutputView*>(GetDlgItem(id))->selectAllAndScrollCaret();
}

void ConverterDialog::LoadAccelerators() {
    m_hAccel = acceleratorTable();
    for (const Accelerator& accelerator : m_hAccel) {
        for (const QKeySequence& keys : acceleratorKeys(accelerator)) {
            auto* shortcut = new QShortcut(keys, this);
            connect(shortcut, &QShortcut::activated, this, [this, accelerator] { TranslateAccelerator(accelerator); });
        }
    }
}

void ConverterDialog::TranslateAccelerator(const Accelerator& accelerator) {
    // As with Windows accelerators, a command whose menu item is disabled is not sent.
    if (const QAction* item = GetMenuItem(accelerator.command); item && !item->isEnabled()) return;
    OnCommand(accelerator.command);
}

bool ConverterDialog::PreTranslateMessage(QWidget* target, const QKeyEvent& key) {
    // Enter on the exit button does nothing: the program doesn't end by a stray Enter. Everywhere else but
    // in the editors and on a button, Enter reaches the default button, "変換実行".
    return isEnterKey(key) && target == GetDlgItem(kIdExit);
}

bool ConverterDialog::eventFilter(QObject* watched, QEvent* event) {
    if (undoesTable(watched, event) || takesFileDrag(watched, event)) return true;
    if (watched == m_client && event->type() == QEvent::Resize) layoutControls();
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        PreTranslateMessage(static_cast<QWidget*>(watched), static_cast<const QKeyEvent&>(*event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ConverterDialog::keyPressEvent(QKeyEvent* event) {
    // Enter from a field runs, whichever button last had the focus: QDialog would press that one instead.
    const bool plainEnter = event->modifiers() == Qt::NoModifier ||
                            (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (isEnterKey(*event) && plainEnter) {
        event->accept();
        if (GetDlgItem(kIdExecute)->isEnabled()) OnCommand(kIdExecute);
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace ravolin
