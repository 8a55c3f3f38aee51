#include "ui/controls/MenuBuilder.h"

#include <QMenu>
#include <QMenuBar>

namespace ravolin {
namespace {

Qt::Key qtKey(std::uint16_t virtualKey) {
    switch (virtualKey) {
        case VK_RETURN:
            return Qt::Key_Return;
        case VK_PRIOR:
            return Qt::Key_PageUp;
        case VK_NEXT:
            return Qt::Key_PageDown;
        default:
            break;
    }
    if (virtualKey >= VK_F1 && virtualKey < VK_F1 + 24) return static_cast<Qt::Key>(Qt::Key_F1 + (virtualKey - VK_F1));
    // Letters and digits are their ASCII upper-case codes, as Qt's keys are.
    return static_cast<Qt::Key>(virtualKey);
}

void addItems(QMenu& menu, std::span<const MenuItem> items, MenuCommands& commands,
              std::span<const Accelerator> accelerators = {}) {
    for (const MenuItem& item : items) {
        if (item.isSeparator()) {
            menu.addSeparator();
            continue;
        }
        if (item.isSubmenu()) {
            QMenu* submenu = menu.addMenu(QString::fromUtf8(item.caption));
            addItems(*submenu, item.items, commands, accelerators);
            continue;
        }
        QAction* action = menu.addAction(QString::fromUtf8(item.caption));
        const int id = item.id;
        // The id travels with the action, for callers that get the chosen action back (a menu's exec).
        action->setData(id);
        QObject::connect(action, &QAction::triggered, &menu, [action, id, &commands] {
            // Qt flips a checkable action on its own; the mark is the program's to set.
            if (action->isCheckable()) action->setChecked(true);
            if (commands.onCommand) commands.onCommand(id);
        });
        for (const Accelerator& accelerator : accelerators) {
            if (accelerator.command != id) continue;
            // Shown in the menu; the window takes the key itself, whichever control has the focus.
            action->setShortcut(acceleratorKeys(accelerator).front());
            action->setShortcutContext(Qt::WidgetShortcut);
            break;
        }
        commands.items[id] = action;
    }
}

}  // namespace

QList<QKeySequence> acceleratorKeys(const Accelerator& accelerator) {
    Qt::KeyboardModifiers modifiers;
    if (accelerator.flags & FALT) modifiers |= Qt::AltModifier;
    if (accelerator.flags & FCONTROL) modifiers |= Qt::ControlModifier;
    if (accelerator.flags & FSHIFT) modifiers |= Qt::ShiftModifier;
    const Qt::Key key = qtKey(accelerator.key);
    QList<QKeySequence> keys{QKeySequence(QKeyCombination(modifiers, key))};
    if (key == Qt::Key_Return) {
        keys.append(QKeySequence(QKeyCombination(modifiers, Qt::Key_Enter)));
        keys.append(QKeySequence(QKeyCombination(modifiers | Qt::KeypadModifier, Qt::Key_Enter)));
    }
    return keys;
}

void buildMenuBar(QMenuBar& bar, std::span<const MenuPopup> popups, MenuCommands& commands,
                  std::span<const Accelerator> accelerators) {
    for (const MenuPopup& popup : popups)
        addItems(*bar.addMenu(QString::fromUtf8(popup.caption)), popup.items, commands, accelerators);
}

QMenu* buildPopupMenu(QWidget* parent, const MenuPopup& popup, MenuCommands& commands) {
    auto* menu = new QMenu(QString::fromUtf8(popup.caption), parent);
    addItems(*menu, popup.items, commands);
    return menu;
}

void setMenuCheck(QAction* item, bool checked) {
    if (!item) return;
    if (!checked) item->setChecked(false);
    item->setCheckable(checked);
    item->setChecked(checked);
}

}  // namespace ravolin
