// The buttons' own commands (the menu items that share their ids arrive here too).
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
    // The counters and arrays as stored, styles included; the template, the loop count and the options stay.
    Document restored = documentShown();
    restored.record = m_record;
    showDocument(restored);
}

void ConverterDialog::OnAutoSaveClicked() {
    // The box has already toggled itself when its click arrives.
    m_bAutoSave = IsDlgButtonChecked(kIdAutoSave) ? 1 : 0;
    GetDlgItem(kIdSaveSettings)->setEnabled(m_bAutoSave == 0);
}

}  // namespace ravolin
