#include "ui/controls/MenuBuilder.h"

#include <QMenu>
#include <QMenuBar>

namespace ravolin {
namespace {

void addItems(QMenu& menu, const MenuPopup& popup, MenuCommands& commands) {
    for (const MenuItem& item : popup.items) {
        if (item.isSeparator()) {
            menu.addSeparator();
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
        commands.items[id] = action;
    }
}

}  // namespace

void buildMenuBar(QMenuBar& bar, std::span<const MenuPopup> popups, MenuCommands& commands) {
    for (const MenuPopup& popup : popups) addItems(*bar.addMenu(QString::fromUtf8(popup.caption)), popup, commands);
}

QMenu* buildPopupMenu(QWidget* parent, const MenuPopup& popup, MenuCommands& commands) {
    auto* menu = new QMenu(QString::fromUtf8(popup.caption), parent);
    addItems(*menu, popup, commands);
    return menu;
}

void setMenuCheck(QAction* item, bool checked) {
    if (!item) return;
    if (!checked) item->setChecked(false);
    item->setCheckable(checked);
    item->setChecked(checked);
}

}  // namespace ravolin
