#include "ui/ConverterDialog.h"

#include <QPlainTextEdit>
#include <QTextCursor>

#include "ui/DialogTexts.h"

namespace ravolin {

void ConverterDialog::OnClearEditArea() {
    // Through the editor's undo history, so Ctrl+Z brings the template back.
    QTextCursor all(qobject_cast<QPlainTextEdit*>(GetDlgItem(kIdTemplate))->document());
    all.select(QTextCursor::Document);
    all.removeSelectedText();
    SetDlgItemText(kIdOutput, kOutputPlaceholder);
}

void ConverterDialog::OnRestoreReplacementStrings() {
    // Yes replaces whatever was typed into the fields, so Enter answers No.
    if (m_services.messageBox.MessageBox(this, kRestoreQuestion, kConfirmCaption,
                                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        return;
    }
    m_numericPage.FillControls();
    for (ArrayPage& page : m_arrayPage) page.FillControls();
}

void ConverterDialog::OnToggleBeep() {
    // Any value but 1 counts as off, so the first toggle of an odd stored value turns the beep on.
    const bool on = m_bBeep != 1;
    CheckMenuItem(kCmdToggleBeep, on);
    m_bBeep = on ? 1 : 0;
}

void ConverterDialog::OnToggleTray() {
    const bool on = m_bTray != 1;
    CheckMenuItem(kCmdToggleTray, on);
    m_bTray = on ? 1 : 0;
}

void ConverterDialog::OnAutoSaveClicked() {
    // The box has already toggled itself when its click arrives.
    m_bAutoSave = IsDlgButtonChecked(kIdAutoSave) ? 1 : 0;
    GetDlgItem(kIdSaveSettings)->setEnabled(m_bAutoSave == 0);
}

}  // namespace ravolin
