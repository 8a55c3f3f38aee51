#include "platform/qt/TrayIcon.h"

#include <utility>

#include <QCursor>
#include <QIcon>
#include <QMenu>

namespace ravolin {

std::optional<unsigned> trayMouseMessage(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return kWmLButtonDown;
        case QSystemTrayIcon::DoubleClick:
            return kWmLButtonDblClk;
        case QSystemTrayIcon::Context:
            return kWmRButtonDown;
        case QSystemTrayIcon::MiddleClick:
            return kWmMButtonDown;
        case QSystemTrayIcon::Unknown:
            break;
    }
    return std::nullopt;
}

QtTrayIcon::QtTrayIcon(QObject* parent) : QObject(parent), m_icon(new QSystemTrayIcon(this)) {
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        const std::optional<unsigned> message = trayMouseMessage(reason);
        // A copy: the handler may replace itself, or end the window that owns this icon.
        const MouseHandler handler = m_mouseHandler;
        if (message && handler) handler(*message);
    });
}

bool QtTrayIcon::IsAvailable() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

bool QtTrayIcon::Add(const QIcon& icon, const QString& tip) {
    if (!IsAvailable() || icon.isNull() || m_icon->isVisible()) return false;
    m_icon->setIcon(icon);
    m_icon->setToolTip(tip);
    m_icon->show();
    return m_icon->isVisible();
}

void QtTrayIcon::Remove() { m_icon->hide(); }

void QtTrayIcon::SetMouseHandler(MouseHandler handler) { m_mouseHandler = std::move(handler); }

QPoint QtTrayIcon::CursorPos() const { return QCursor::pos(); }

QAction* QtTrayIcon::ExecMenu(QMenu* menu, const QPoint& pos) { return menu ? menu->exec(pos) : nullptr; }

}  // namespace ravolin
