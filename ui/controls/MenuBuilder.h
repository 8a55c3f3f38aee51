#pragma once

#include <functional>
#include <map>
#include <span>

#include "resources/Menus.h"

#include <QKeySequence>
#include <QList>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace ravolin {

// The actions of a window's menus by command id, and what a chosen item sends.
struct MenuCommands {
    std::map<int, QAction*> items;
    std::function<void(int id)> onCommand;
};

// Adds `popups` to `bar`, registering every item in `commands`. An item shows the first of the keys that
// `accelerators` give its command; the keys themselves are the window's to take.
void buildMenuBar(QMenuBar& bar, std::span<const MenuPopup> popups, MenuCommands& commands,
                  std::span<const Accelerator> accelerators = {});

// The Qt keys of an accelerator: VK_RETURN stands for both Enter keys, as on Windows.
QList<QKeySequence> acceleratorKeys(const Accelerator& accelerator);

// A pop-up menu owned by `parent`, registering its items in `commands`.
QMenu* buildPopupMenu(QWidget* parent, const MenuPopup& popup, MenuCommands& commands);

// Windows-style check marks: an item shows a mark only while the program has set one, and choosing it
// doesn't change the mark by itself.
void setMenuCheck(QAction* item, bool checked);

}  // namespace ravolin
