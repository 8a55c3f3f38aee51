#include "testsupport/FakeTrayIcon.h"

#include <algorithm>
#include <utility>

#include <QAction>
#include <QIcon>
#include <QMenu>

namespace ravolin {
namespace {

std::optional<int> commandIdOf(const QAction* action) {
    bool isInt = false;
    const int id = action->data().toInt(&isInt);
    return isInt ? std::optional<int>(id) : std::nullopt;
}

QAction* findCommand(const QMenu& menu, int commandId) {
    for (QAction* action : menu.actions()) {
        if (!action->isEnabled()) continue;
        if (QMenu* submenu = action->menu()) {
            if (QAction* found = findCommand(*submenu, commandId)) return found;
        } else if (!action->isSeparator() && commandIdOf(action) == commandId) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace

bool FakeTrayIcon::Add(const QIcon& icon, const QString& tip) {
    const bool accepted = m_available && !icon.isNull() && !m_present;
    m_addCalls.push_back({!icon.isNull(), tip, accepted});
    if (accepted) {
        m_present = true;
        m_tip = tip;
    }
    return accepted;
}

void FakeTrayIcon::Remove() {
    ++m_removeCount;
    m_present = false;
    m_tip.clear();
}

void FakeTrayIcon::SetMouseHandler(MouseHandler handler) { m_mouseHandler = std::move(handler); }

void FakeTrayIcon::fireMouse(unsigned mouseMessage) {
    if (const MouseHandler handler = m_mouseHandler) handler(mouseMessage);
}

void FakeTrayIcon::scriptMenuChoice(std::optional<int> commandId) { m_menuScript.push_back(commandId); }

int FakeTrayIcon::acceptedAddCount() const {
    return static_cast<int>(
        std::count_if(m_addCalls.begin(), m_addCalls.end(), [](const AddCall& c) { return c.accepted; }));
}

QAction* FakeTrayIcon::ExecMenu(QMenu* menu, const QPoint& pos) {
    MenuCall call{pos, {}};
    if (menu) {
        for (const QAction* action : menu->actions()) {
            call.items.push_back({action->text(), commandIdOf(action), action->isSeparator(), action->isEnabled()});
        }
    }
    m_menuCalls.push_back(std::move(call));
    std::optional<int> choice;
    if (!m_menuScript.empty()) {
        choice = m_menuScript.front();
        m_menuScript.pop_front();
    }
    QAction* chosen = menu && choice ? findCommand(*menu, *choice) : nullptr;
    // The menu hears its actions' triggered() itself and passes it on as its own, as in QMenu::exec.
    if (chosen) chosen->activate(QAction::Trigger);
    return chosen;
}

}  // namespace ravolin
