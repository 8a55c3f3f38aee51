#pragma once

#include <functional>
#include <optional>

#include <QObject>
#include <QPoint>
#include <QSystemTrayIcon>

class QAction;
class QIcon;
class QMenu;
class QString;

namespace ravolin {

// Mouse activity on the icon is reported as the Windows mouse message it stands for.
inline constexpr unsigned kWmLButtonDown = 0x0201;
inline constexpr unsigned kWmLButtonDblClk = 0x0203;
inline constexpr unsigned kWmRButtonDown = 0x0204;
inline constexpr unsigned kWmMButtonDown = 0x0207;

// What the program asks of the notification area, with the Windows values its calls carry.
inline constexpr unsigned NIM_ADD = 0;
inline constexpr unsigned NIM_DELETE = 2;

// The program's icon in the notification area.
class TrayIconPort {
public:
    using MouseHandler = std::function<void(unsigned mouseMessage)>;

    virtual ~TrayIconPort() = default;

    // Whether a notification area exists to show the icon in. Without one an added icon would be nowhere.
    virtual bool IsAvailable() const = 0;
    // Shows the icon with its tip. Refused (false, nothing changes) without a notification area, without an
    // icon image, or while the icon is already shown: there is never more than one.
    virtual bool Add(const QIcon& icon, const QString& tip) = 0;
    // Takes the icon away; without an icon shown, nothing happens.
    virtual void Remove() = 0;
    // `handler` receives each mouse message on the icon, replacing the previous handler.
    virtual void SetMouseHandler(MouseHandler handler) = 0;
    // The mouse position in screen coordinates.
    virtual QPoint CursorPos() const = 0;
    // Shows `menu` at `pos` (screen coordinates) and returns when it closes: the chosen action, or null when
    // the menu was dismissed. As with QMenu::exec, the chosen action's triggered() has fired too, so handle a
    // choice through one of the two only.
    virtual QAction* ExecMenu(QMenu* menu, const QPoint& pos) = 0;
};

// The mouse message an activation of Qt's tray icon stands for; none for an activation without one.
std::optional<unsigned> trayMouseMessage(QSystemTrayIcon::ActivationReason reason);

// The icon through QSystemTrayIcon.
class QtTrayIcon final : public QObject, public TrayIconPort {
public:
    explicit QtTrayIcon(QObject* parent = nullptr);

    // Asks Qt rather than trusting show(): without a notification area (offscreen, a bare X server) show()
    // succeeds with nothing on screen.
    bool IsAvailable() const override;
    bool Add(const QIcon& icon, const QString& tip) override;
    void Remove() override;
    void SetMouseHandler(MouseHandler handler) override;
    QPoint CursorPos() const override;
    QAction* ExecMenu(QMenu* menu, const QPoint& pos) override;

private:
    QSystemTrayIcon* m_icon;
    MouseHandler m_mouseHandler;
};

}  // namespace ravolin
