#include "ui/ConverterDialog.h"

#include <memory>
#include <optional>

#include <QAction>
#include <QMenu>
#include <QWindowStateChangeEvent>

#include "ui/DialogTexts.h"

namespace ravolin {

bool ConverterDialog::NotifyTrayIcon(unsigned action) {
    switch (action) {
        case NIM_ADD:
            return m_services.trayIcon.Add(m_hIcon, QString::fromUtf8(kTrayTip));
        case NIM_DELETE:
            m_services.trayIcon.Remove();
            return true;
        default:
            return false;
    }
}

void ConverterDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    const auto& change = static_cast<const QWindowStateChangeEvent&>(*event);
    // The option is read at the moment of minimizing only.
    if (isMinimized() && !(change.oldState() & Qt::WindowMinimized) && m_bTray == 1) minimizeToTray();
}

void ConverterDialog::minimizeToTray() {
    // Hidden without an icon, the window would be beyond reach: where the notification area refuses the
    // icon, the window stays minimized as usual.
    if (!NotifyTrayIcon(NIM_ADD)) return;
    hide();
}

// Its mark stays what the setting holds: the option comes back into force once an area shows up.
void ConverterDialog::enableTrayOption() { EnableMenuItem(kCmdToggleTray, m_services.trayIcon.IsAvailable()); }

void ConverterDialog::OnTrayIcon(unsigned mouseMessage) {
    switch (mouseMessage) {
        case kWmLButtonDblClk:
            OnTrayShowWindow();
            break;
        case kWmRButtonDown:
            showTrayMenu();
            break;
        default:
            break;
    }
}

void ConverterDialog::showTrayMenu() {
    // The items send nothing themselves: the choice is dispatched once, after the menu has gone, as the
    // command a Windows menu posts to its owner.
    MenuCommands items;
    std::unique_ptr<QMenu> popup(buildPopupMenu(this, trayMenu().front(), items));
    const QAction* chosen = m_services.trayIcon.ExecMenu(popup.get(), m_services.trayIcon.CursorPos());
    const std::optional<int> command = chosen ? std::optional<int>(chosen->data().toInt()) : std::nullopt;
    popup.reset();
    if (command) OnCommand(*command);
}

void ConverterDialog::OnTrayShowWindow() {
    NotifyTrayIcon(NIM_DELETE);
    show();
    showNormal();
    activateWindow();
}

}  // namespace ravolin
