// The one way between the window and a document: a run, a save, the restore command, the format dialog and
// the exit path all read the fields, the styles and the options here, and show them here.
#include "ui/ConverterDialog.h"

#include "conversion/RandomValues.h"
#include "platform/core/ControlIntegers.h"
#include "settings/StoredExpansion.h"
#include "ui/controls/FontMapping.h"

namespace ravolin {

Document ConverterDialog::documentShown() const {
    Document document;
    WindowSettings& window = document.window;
    window.templateText = GetDlgItemText(kIdTemplate);
    window.loopCount = readLoopField(GetDlgItemText(kIdLoopCount)).stored;
    window.beep = m_bBeep.load();
    window.tray = m_bTray;
    window.autoSave = m_bAutoSave;
    window.font = m_strFont;
    window.shape = m_shape;
    document.record.counters = m_numericPage.slotsShown();
    for (std::size_t i = 0; i < kArrayCount; ++i) document.record.arrays[i] = m_arrayPage[i].slotShown();
    return document;
}

void ConverterDialog::showDocument(const Document& document) {
    const WindowSettings& window = document.window;
    showDlgItemText(kIdTemplate, window.templateText);
    showDlgItemInt(kIdLoopCount, window.loopCount);
    m_bBeep = window.beep;
    m_bTray = window.tray;
    m_bAutoSave = window.autoSave;
    m_shape = window.shape;
    CheckMenuItem(kCmdToggleBeep, m_bBeep == 1);
    CheckMenuItem(kCmdToggleTray, m_bTray == 1);
    CheckDlgButton(kIdAutoSave, m_bAutoSave == 1);
    GetDlgItem(kIdSaveSettings)->setEnabled(m_bAutoSave != 1);
    // A description that can't be read leaves the font as it is, as a start would.
    LogFont font;
    if (window.font != m_strFont && parseFontDescription(window.font, font)) {
        m_strFont = FormatFontString(font);
        m_editorFont = fontFromLogFont(font);
        SetWindowFont(font);
        GetDlgItem(kIdTemplate)->setFont(m_editorFont);
    }
    m_numericPage.showSlots(document.record.counters);
    for (std::size_t i = 0; i < kArrayCount; ++i) m_arrayPage[i].showSlot(document.record.arrays[i]);
}

Document ConverterDialog::storedDocument() const {
    return {{.loopCount = m_nLoopCount,
             .beep = m_bBeep.load(),
             .tray = m_bTray,
             .autoSave = m_bAutoSave,
             .templateText = m_strTemplate,
             .font = m_strFont,
             .shape = m_shape},
            m_record};
}

bool ConverterDialog::fieldsChangedSinceSave() const {
    // The options and the font count as set, not as typed: they change only the window until a save.
    const Document shown = documentShown();
    return shown.window.templateText != m_savedDocument.window.templateText ||
           shown.window.loopCount != m_savedDocument.window.loopCount || shown.record != m_savedDocument.record;
}

ExpansionInput ConverterDialog::GatherExpansionInput() {
    Document shown = documentShown();
    ExpansionInput input = expansionInputFrom(shown);
    // Drawn once for the whole run, so every range of it draws alike; shown, so a save keeps it and the same
    // data comes again.
    fillFreshSeeds(input);
    bool drawn = false;
    const auto take = [&drawn](std::string& seed, const std::string& used) {
        if (seed == used) return;
        seed = used;
        drawn = true;
    };
    for (std::size_t r = 0; r < kCounterCount; ++r)
        take(shown.record.counters[r].style.seed, input.counters[r].style.seed);
    for (std::size_t i = 0; i < kArrayCount; ++i) take(shown.record.arrays[i].style.seed, input.arrays[i].style.seed);
    if (drawn) showDocument(shown);
    // A run reads the loop field its own way; it gives the same passes as the count a save stores.
    input.loopCount = readLoopField(GetDlgItemText(kIdLoopCount)).passes;
    return input;
}

std::vector<TextAdjustment> ConverterDialog::GatherSettings() {
    Document shown = documentShown();
    // A token longer than its field is cut to it here, so the record holds what the file will hold.
    std::vector<TextAdjustment> shortened = fitTokens(shown.record);
    m_nLoopCount = shown.window.loopCount;
    m_record = shown.record;
    return shortened;
}

}  // namespace ravolin
