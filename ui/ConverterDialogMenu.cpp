// The commands only the menus have, and the menu items' check and enable states.
#include "ui/ConverterDialog.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>

#include "conversion/RandomValues.h"
#include "platform/core/ControlIntegers.h"
#include "settings/StoredExpansion.h"
#include "ui/AboutDialog.h"
#include "ui/DialogTexts.h"
#include "ui/FormatDialog.h"
#include "ui/GuideDialog.h"
#include "ui/OutputShapeDialog.h"
#include "ui/controls/MenuBuilder.h"

namespace ravolin {

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

// OK takes the styles and the loop count the dialog chose, and leaves them to be saved like a run's fields.
void ConverterDialog::OnFormatSettings(int tab, int row) {
    FormatDialog dialog(this, documentShown(), m_services.messageBox);
    if (tab >= 0) dialog.focusSlot(tab, row);
    if (m_services.runModal(dialog) != QDialog::Accepted) return;
    showDocument(dialog.document());
    setUnsaved(1);
}

// The preview shows the run the window would start, from seeds of its own where a slot has none: nothing shown
// changes until OK, which takes the shape alone.
void ConverterDialog::OnOutputShape() {
    ExpansionInput input = expansionInputFrom(documentShown());
    input.loopCount = readLoopField(GetDlgItemText(kIdLoopCount)).passes;
    fillFreshSeeds(input);
    OutputShapeDialog dialog(this, input);
    if (m_services.runModal(dialog) != QDialog::Accepted) return;
    const OutputShape chosen = dialog.shape();
    if (chosen == m_shape) return;
    m_shape = chosen;
    setUnsaved(1);
}

void ConverterDialog::OnAbout() {
    AboutDialog about(this);
    m_services.runModal(about);
}

void ConverterDialog::OnGuide() {
    GuideDialog guide(this);
    m_services.runModal(guide);
}

QMenu* ConverterDialog::templateContextMenu() {
    auto* editor = qobject_cast<QPlainTextEdit*>(GetDlgItem(kIdTemplate));
    QMenu* menu = editor->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    QMenu* tokens = menu->addMenu(QString::fromUtf8(kInsertTokenMenu));
    const auto add = [&](const std::string& token, const QString& slot) {
        QString caption = token.empty() ? QString::fromUtf8(kUnusedToken) : QString::fromStdString(token);
        caption.replace('&', QStringLiteral("&&"));
        QAction* item = tokens->addAction(QString::fromUtf8(kInsertTokenItem).arg(caption, slot));
        item->setEnabled(!token.empty());
        connect(item, &QAction::triggered, editor, [editor, text = QString::fromStdString(token)] {
            editor->insertPlainText(text);
            editor->setFocus();
        });
    };
    for (int r = 0; r < static_cast<int>(kCounterCount); ++r)
        add(m_numericPage.GetDlgItemText(numericTokenId(r)), QString::fromUtf8(kCounterSlotName).arg(r + 1));
    tokens->addSeparator();
    for (std::size_t i = 0; i < kArrayCount; ++i)
        add(m_arrayPage[i].GetDlgItemText(kIdArrayToken), QString::fromUtf8(kArraySlotName).arg(i + 1));
    return menu;
}

QAction* ConverterDialog::GetMenuItem(int id) const {
    const auto found = m_menu.items.find(id);
    return found == m_menu.items.end() ? nullptr : found->second;
}

void ConverterDialog::CheckMenuItem(int id, bool checked) { setMenuCheck(GetMenuItem(id), checked); }

void ConverterDialog::EnableMenuItem(int id, bool enabled) {
    if (QAction* item = GetMenuItem(id)) item->setEnabled(enabled);
}

}  // namespace ravolin
