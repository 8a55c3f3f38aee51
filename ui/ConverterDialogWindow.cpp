// The window as a whole: its layout at any size, the size kept between starts, the title with its marks,
// and the loop field's mark.
#include "ui/ConverterDialog.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTimer>

#include "platform/core/ControlIntegers.h"
#include "ui/DialogTexts.h"
#include "ui/controls/TabControl.h"
#include "ui/controls/TemplateBuilder.h"

namespace ravolin {
namespace {

constexpr char kGeometryKey[] = "MainWindow/Geometry";

}  // namespace

void ConverterDialog::layoutControls() {
    const QSize size = m_client->size();
    for (const PlacedControl& placed : m_placed) {
        Growth growth = Growth::None;
        if (placed.id == kIdTemplate) {
            growth = Growth::WidthAndHeight;
        } else if (placed.id == kIdOutput || placed.rect.width() >= m_templateSize.width() - 4) {
            // The output pane, and the separator under the menu bar that spans the window (but a dialog unit).
            growth = Growth::Width;
        }
        placed.widget->setGeometry(anchoredRect(placed.rect, m_templateSize, size, growth));
    }
    placePages();
}

void ConverterDialog::restoreWindowState() {
    const std::string file = m_services.windowStateFile ? m_services.windowStateFile(false) : std::string();
    if (file.empty()) return;
    const QSettings state(QString::fromStdString(file), QSettings::IniFormat);
    restoreGeometry(state.value(kGeometryKey).toByteArray());
}

void ConverterDialog::saveWindowState() const {
    const std::string file = m_services.windowStateFile ? m_services.windowStateFile(true) : std::string();
    if (file.empty()) return;
    QSettings state(QString::fromStdString(file), QSettings::IniFormat);
    state.setValue(kGeometryKey, saveGeometry());
}

void ConverterDialog::setUnsaved(std::int32_t unsaved) {
    m_bUnsaved = unsaved;
    updateTitle();
}

void ConverterDialog::updateTitle() {
    const std::string_view caption = findDialogTemplate(kConverterDialogId)->caption;
    QString title = QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
    // The name only of a file the user named: a start without one keeps the plain caption.
    if (m_settingsNamed)
        title += QString::fromUtf8(kTitleFileSeparator) + QFileInfo(QString::fromStdString(m_settingsPath)).fileName();
    if (m_bUnsaved == 1) title += QString::fromUtf8(kUnsavedMark);
    if (m_savedNote && m_savedNote->isActive()) title += QString::fromUtf8(kSavedNote);
    setWindowTitle(title);
}

void ConverterDialog::noteSaved() {
    m_savedNote->start();
    updateTitle();
}

void ConverterDialog::checkLoopField() {
    auto* field = qobject_cast<QLineEdit*>(GetDlgItem(kIdLoopCount));
    const LoopCountCheck check = readLoopField(GetDlgItemText(kIdLoopCount)).check;
    const bool over = check == LoopCountCheck::OverRange;
    const QString problem =
        check == LoopCountCheck::Fine ? QString() : QString::fromUtf8(over ? kLoopOverRangeTip : kLoopNotANumberTip);
    m_loopStatus->setText(check == LoopCountCheck::Fine ? QString()
                                                        : QString::fromUtf8(over ? kLoopOverRange : kLoopNotANumber));
    m_loopStatus->setToolTip(problem);
    field->setToolTip(problem);
    field->setAccessibleDescription(problem);
    QPalette colours = m_client->palette();
    if (check != LoopCountCheck::Fine) {
        const QColor warning(0xC0, 0x00, 0x00);
        colours.setColor(QPalette::Text, warning);
        colours.setColor(QPalette::WindowText, warning);
    }
    field->setPalette(colours);
    m_loopStatus->setPalette(colours);
}

}  // namespace ravolin
