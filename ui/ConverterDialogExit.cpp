// The whole way out of the window: the exit button (OnOK), the close requests (Esc, the close box, the
// system menu, IDCANCEL), the menu and tray exits, the end of the dialog, and the refusal of all of them
// while a run is active; and the end of the session, which asks nothing.
#include "ui/ConverterDialog.h"

#include <ostream>
#include <string>

#include <QCloseEvent>

#include "conversion/TextHelpers.h"
#include "ui/DialogTexts.h"
#include "ui/SaveMessages.h"

namespace ravolin {
namespace {

// A box's text for a terminal: its CR LF line ends as LF.
std::string forTerminal(const std::string& text) { return ReplaceAll(text, "\r\n", "\n"); }

}  // namespace

void ConverterDialog::OnOK() {
    if (!mayLeaveDocument(kUnsavedQuestion, kAutoSaveFailedQuestion)) return;
    done(IDOK);
}

bool ConverterDialog::mayLeaveDocument(const char* unsavedQuestion, const char* saveFailedQuestion) {
    // Typed work counts as unsaved as much as a run does, so the question below guards it too.
    if (fieldsChangedSinceSave()) setUnsaved(1);
    if (m_bAutoSave != 0) {
        const SaveResult saved = saveFromControls();
        if (!saved.ok) {
            return m_services.messageBox.MessageBox(
                       this, fillText(saveFailedQuestion, describeSaveFailure(m_settingsPath, saved)), kConfirmCaption,
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
        }
        warnAboutAdjustments(saved);
        return true;
    }
    // Yes throws typed work away, so Enter answers No.
    return m_bUnsaved != 1 || m_services.messageBox.MessageBox(this, unsavedQuestion, kConfirmCaption,
                                                               MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDNO;
}

bool ConverterDialog::mayDiscardUnsaved() {
    if (fieldsChangedSinceSave()) setUnsaved(1);
    return m_bUnsaved != 1 || m_services.messageBox.MessageBox(this, kOpenUnsavedQuestion, kConfirmCaption,
                                                               MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void ConverterDialog::OnEndSession(std::ostream& diagnostics) {
    // Before OnInitDialog has filled them (a notice at start is up), the fields would save over the file.
    if (m_bAutoSave == 0 || !m_fieldsLoaded) return;
    const SaveResult saved = saveFromControls();
    if (!saved.ok) {
        diagnostics << "ravolin: "
                    << forTerminal(fillText(kSaveFailedMessage, describeSaveFailure(m_settingsPath, saved))) << '\n';
        return;
    }
    if (!saved.adjustments.empty()) {
        diagnostics << "ravolin: " << forTerminal(describeAdjustments(saved.adjustments)) << '\n';
    }
}

void ConverterDialog::OnCancel() {
    if (isRunning()) {
        showBusyWarning();
        return;
    }
    OnOK();
}

void ConverterDialog::OnExit() { OnOK(); }

void ConverterDialog::OnTrayExit() {
    // A run writes into the window until it ends: the program doesn't end under it.
    if (isRunning()) {
        showBusyWarning();
        return;
    }
    if (m_services.messageBox.MessageBox(nullptr, kTrayExitQuestion, kConfirmCaption, MB_OKCANCEL | MB_ICONQUESTION) ==
        IDOK) {
        OnOK();
    }
}

void ConverterDialog::closeEvent(QCloseEvent* event) {
    // The close box is a request: OnCancel decides whether the dialog ends.
    event->ignore();
    OnCancel();
}

void ConverterDialog::reject() { OnCancel(); }

void ConverterDialog::done(int result) {
    // The worker still reads and fills the controls: the window stays as it is and the run goes on.
    if (isRunning()) {
        showBusyWarning();
        return;
    }
    saveWindowState();
    QDialog::done(result);
}

void ConverterDialog::showBusyWarning() {
    m_services.messageBox.MessageBox(this, kBusyMessage, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
}

void ConverterDialog::OnDestroy() {
    // The icon must not outlive the window, nor report to a dialog that is gone.
    m_services.trayIcon.SetMouseHandler({});
    NotifyTrayIcon(NIM_DELETE);
}

}  // namespace ravolin
