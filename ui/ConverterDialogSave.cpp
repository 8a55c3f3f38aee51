#include "ui/ConverterDialog.h"

#include <string>
#include <utility>

#include "platform/core/ControlIntegers.h"
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
    m_savedFields = storedFieldTexts();
    return saved;
}

// A save never changes a text silently.
void ConverterDialog::warnAboutAdjustments(const SaveResult& saved) {
    if (saved.adjustments.empty()) return;
    m_services.messageBox.MessageBox(this, describeAdjustments(saved.adjustments), kWarningCaption,
                                     MB_OK | MB_ICONEXCLAMATION);
}

std::vector<TextAdjustment> ConverterDialog::GatherSettings() {
    std::vector<TextAdjustment> shortened;
    // A token longer than its field is cut to it here, so the record holds what the file will hold.
    auto fit = [&shortened](const std::string& token, StoredText what, std::size_t slot) {
        bool cut = false;
        std::string fitted = fitToken(token, &cut);
        if (cut) shortened.push_back({what, slot, TextAdjustment::Kind::Shortened});
        return fitted;
    };
    m_nLoopCount = readLoopField(GetDlgItemText(kIdLoopCount)).stored;
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
    m_record.setStyles(m_styles);
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
