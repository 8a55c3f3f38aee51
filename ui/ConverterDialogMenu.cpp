// The commands only the menus have, and the menu items' check and enable states.
#include "ui/ConverterDialog.h"

#include <QAction>

#include "ui/AboutDialog.h"
#include "ui/GuideDialog.h"
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

void ConverterDialog::OnAbout() {
    AboutDialog about(this);
    m_services.runModal(about);
}

void ConverterDialog::OnGuide() {
    GuideDialog guide(this);
    m_services.runModal(guide);
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
