#include "ui/ConverterDialog.h"

#include <cstdint>
#include <optional>

#include "ui/controls/FontMapping.h"

namespace ravolin {
namespace {

// DEFAULT_CHARSET: a chooser without a script box gives no character set of its own.
constexpr std::uint8_t kDefaultCharset = 1;

}  // namespace

void ConverterDialog::OnFontSettings() {
    const LogFont current = GetWindowFont();
    if (const std::optional<QFont> chosen = m_services.fontChooser.ChooseFont(this, fontFromLogFont(current))) {
        // The record keeps what the chooser has no say in (precisions, quality, pitch), as the Windows
        // chooser started from the current record does.
        LogFont record = logFontFromFont(*chosen, current, screenDpi());
        record.lfCharSet = kDefaultCharset;
        // The editor draws the font the record describes, the one the next start will draw too.
        m_editorFont = fontFromLogFont(record);
        SetWindowFont(record);
        m_strFont = FormatFontString(record);
    }
    // Set again after a cancel as well: the editor shows the dialog's editor font whatever happened to it.
    GetDlgItem(kIdTemplate)->setFont(m_editorFont);
}

}  // namespace ravolin
