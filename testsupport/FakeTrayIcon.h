#pragma once

#include <deque>
#include <optional>
#include <vector>

#include <QPoint>
#include <QString>

#include "platform/qt/TrayIcon.h"

namespace ravolin {

// A notification area that the test switches on or off, inspects and clicks. It keeps the contract of the
// port: an icon is refused while unavailable, without an image or while one is shown.
//
// ExecMenu answers from a script of command ids, one entry per call. A command id is what the menu's
// QAction holds as data(), an int. The call returns the menu's (or a submenu's) enabled action with that id,
// after triggering it as QMenu::exec does; an entry of std::nullopt, an exhausted script or an id that no
// enabled action holds return null, like a menu dismissed by a click elsewhere.
class FakeTrayIcon final : public TrayIconPort {
public:
    struct AddCall {
        bool hadIcon = false;
        QString tip;
        bool accepted = false;
    };
    struct MenuItem {
        QString text;
        std::optional<int> commandId;
        bool separator = false;
        bool enabled = true;
    };
    struct MenuCall {
        QPoint pos;
        std::vector<MenuItem> items;  // the top level of the menu as it was shown
    };

    bool IsAvailable() const override { return m_available; }
    bool Add(const QIcon& icon, const QString& tip) override;
    void Remove() override;
    void SetMouseHandler(MouseHandler handler) override;
    QPoint CursorPos() const override { return m_cursorPos; }
    QAction* ExecMenu(QMenu* menu, const QPoint& pos) override;

    void setAvailable(bool available) { m_available = available; }
    void setCursorPos(const QPoint& pos) { m_cursorPos = pos; }
    // Reports a mouse message (kWmLButtonDblClk, kWmRButtonDown...) to the handler, whether or not an icon is
    // shown: the port doesn't filter, so the program mustn't rely on it.
    void fireMouse(unsigned mouseMessage);
    void scriptMenuChoice(std::optional<int> commandId);

    bool isPresent() const { return m_present; }
    const QString& tip() const { return m_tip; }
    const std::vector<AddCall>& addCalls() const { return m_addCalls; }
    int acceptedAddCount() const;
    int removeCount() const { return m_removeCount; }
    const std::vector<MenuCall>& menuCalls() const { return m_menuCalls; }

private:
    bool m_available = true;
    bool m_present = false;
    QString m_tip;
    QPoint m_cursorPos;
    MouseHandler m_mouseHandler;
    std::deque<std::optional<int>> m_menuScript;
    std::vector<AddCall> m_addCalls;
    int m_removeCount = 0;
    std::vector<MenuCall> m_menuCalls;
};

}  // namespace ravolin
