#include "ui/ConverterDialog.h"

#include <string>
#include <utility>

#include "platform/core/ControlIntegers.h"
#include "ui/DialogTexts.h"
#include "ui/SaveMessages.h"

namespace ravolin {
namespace {

// A save is GatherSettings then WriteSettings. When the write fails, the record and the loop count go back
// to what the file still holds, so the restore command keeps bringing back what is stored.
SaveResult gatherAndWrite(ConverterDialog& dialog) {
    const Settings recordBefore = dialog.record();
    const std::int32_t loopCountBefore = dialog.m_nLoopCount;
    std::vector<TextAdjustment> shortened = dialog.GatherSettings();
    SaveResult saved = dialog.WriteSettings();
    if (!saved.ok) {
        dialog.record() = recordBefore;
        dialog.m_nLoopCount = loopCountBefore;
        return saved;
    }
    shortened.insert(shortened.end(), saved.adjustments.begin(), saved.adjustments.end());
    saved.adjustments = std::move(shortened);
    return saved;
}

// A save never changes a text silently.
void warnAboutAdjustments(ConverterDialog& dialog, const SaveResult& saved) {
    if (saved.adjustments.empty()) return;
    dialog.services().messageBox.MessageBox(&dialog, describeAdjustments(saved.adjustments), kWarningCaption,
                                            MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

std::vector<TextAdjustment> ConverterDialog::GatherSettings() {
    std::vector<TextAdjustment> shortened;
    // A token longer than its field is cut to it here, so the record holds what the file will hold.
    auto fit = [&shortened](const std::string& token, StoredText what, std::size_t slot) {
        bool cut = false;
        std::string fitted = fitToken(token, &cut);
        if (cut) shortened.push_back({what, slot, TextAdjustment::Kind::Shortened});
        return fitted;
    };
    m_nLoopCount = readSignedControlInt(GetDlgItemText(kIdLoopCount));
    for (std::size_t r = 0; r < kCounterCount; ++r) {
        m_record.counters[r].increment =
            readSignedControlInt(m_numericPage.GetDlgItemText(numericIncrementId(static_cast<int>(r))));
    }
    for (std::size_t r = 0; r < kCounterCount; ++r) {
        m_record.counters[r].token =
            fit(m_numericPage.GetDlgItemText(numericTokenId(static_cast<int>(r))), StoredText::CounterToken, r);
    }
    for (std::size_t r = 0; r < kCounterCount; ++r) {
        m_record.counters[r].initialValue =
            readSignedControlInt(m_numericPage.GetDlgItemText(numericInitialId(static_cast<int>(r))));
    }
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        m_record.arrays[i].token = fit(m_arrayPage[i].GetDlgItemText(kIdArrayToken), StoredText::ArrayToken, i);
    }
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        m_record.arrays[i].valuesText = m_arrayPage[i].GetDlgItemText(kIdArrayValues);
    }
    return shortened;
}

std::vector<std::string> ConverterDialog::storedFieldTexts() const {
    std::vector<std::string> texts{GetDlgItemText(kIdTemplate), GetDlgItemText(kIdLoopCount)};
    for (int r = 0; r < static_cast<int>(kCounterCount); ++r) {
        for (int id : {numericTokenId(r), numericInitialId(r), numericIncrementId(r)}) {
            texts.push_back(m_numericPage.GetDlgItemText(id));
        }
    }
    for (const ArrayPage& page : m_arrayPage) {
        texts.push_back(page.GetDlgItemText(kIdArrayToken));
        texts.push_back(page.GetDlgItemText(kIdArrayValues));
    }
    return texts;
}

SaveResult ConverterDialog::WriteSettings() {
    const WindowSettings window{.loopCount = m_nLoopCount,
                                .beep = m_bBeep.load(),
                                .tray = m_bTray,
                                .autoSave = m_bAutoSave,
                                .templateText = GetDlgItemText(kIdTemplate),
                                .font = m_strFont};
    return writeSettingsFile(m_settingsPath, window, m_record);
}

void ConverterDialog::OnSaveSettings() {
    const SaveResult saved = gatherAndWrite(*this);
    if (!saved.ok) {
        // Still unsaved: the question at exit stays armed.
        m_services.messageBox.MessageBox(this, fillText(kSaveFailedMessage, describeSaveFailure(m_settingsPath, saved)),
                                         kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_bUnsaved = 0;
    m_savedFields = storedFieldTexts();
    warnAboutAdjustments(*this, saved);
}

void ConverterDialog::OnOK() {
    // Typed work counts as unsaved as much as a run does, so the question below guards it too.
    if (fieldsChangedSinceSave()) m_bUnsaved = 1;
    if (m_bAutoSave != 0) {
        const SaveResult saved = gatherAndWrite(*this);
        if (!saved.ok) {
            if (m_services.messageBox.MessageBox(
                    this, fillText(kAutoSaveFailedQuestion, describeSaveFailure(m_settingsPath, saved)),
                    kConfirmCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
                return;
            }
        } else {
            warnAboutAdjustments(*this, saved);
        }
    } else if (m_bUnsaved == 1) {
        // Yes throws typed work away, so Enter answers No.
        if (m_services.messageBox.MessageBox(this, kUnsavedQuestion, kConfirmCaption,
                                             MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDNO) {
            return;
        }
    }
    done(IDOK);
}

}  // namespace ravolin
