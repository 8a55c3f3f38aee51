#include "ui/ConverterDialog.h"

#include <string>
#include <utility>

#include <sys/stat.h>

#include "platform/core/FileAccess.h"
#include "ui/DialogTexts.h"
#include "ui/SaveMessages.h"

namespace ravolin {
// When the write fails, the record and the loop count go back to what the file still holds, so the restore
// command keeps bringing back what is stored, and the loop field shows that count again.
SaveResult ConverterDialog::saveFromControls() {
    const Settings recordBefore = m_record;
    const std::int32_t loopCountBefore = m_nLoopCount;
    std::vector<TextAdjustment> shortened = GatherSettings();
    SaveResult saved = WriteSettings();
    if (!saved.ok) {
        m_record = recordBefore;
        m_nLoopCount = loopCountBefore;
        SetDlgItemInt(kIdLoopCount, m_nLoopCount);
        return saved;
    }
    shortened.insert(shortened.end(), saved.adjustments.begin(), saved.adjustments.end());
    saved.adjustments = std::move(shortened);
    setUnsaved(0);
    m_savedDocument = documentShown();
    return saved;
}

// A save never changes a text silently.
void ConverterDialog::warnAboutAdjustments(const SaveResult& saved) {
    if (saved.adjustments.empty()) return;
    m_services.messageBox.MessageBox(this, describeAdjustments(saved.adjustments), kWarningCaption,
                                     MB_OK | MB_ICONEXCLAMATION);
}

SaveResult ConverterDialog::WriteSettings() {
    // The window shows defaults in place of what that file holds: even where the file could be read now (memory
    // came back, its rights were mended), writing them would replace the stored settings. A file removed since
    // is a new start.
    struct stat status {};
    if (m_loadRefusal && stat(m_settingsPath.c_str(), &status) == 0) {
        SaveResult refused;
        refused.error = describeFileError(m_settingsPath, "cannot read the current file", m_loadRefusal);
        refused.failedStep = SaveStep::ReadCurrent;
        refused.errorCode = m_loadRefusal;
        return refused;
    }
    Document stored = storedDocument();
    // The editor holds the template; the member keeps it as it was loaded.
    stored.window.templateText = GetDlgItemText(kIdTemplate);
    return writeSettingsFile(m_settingsPath, stored);
}

void ConverterDialog::OnSaveSettings() {
    const SaveResult saved = saveFromControls();
    if (!saved.ok) {
        // Still unsaved: the question at exit stays armed.
        m_services.messageBox.MessageBox(this, fillText(kSaveFailedMessage, describeSaveFailure(m_settingsPath, saved)),
                                         kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    noteSaved();
    warnAboutAdjustments(saved);
}

}  // namespace ravolin
