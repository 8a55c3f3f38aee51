#pragma once

#include <functional>
#include <vector>

#include "resources/DialogTemplate.h"
#include "ui/controls/DialogUnits.h"

class QObject;
class QWidget;

namespace ravolin {

class ControlHost;

// What the controls of a window report to it: keys first (its PreTranslateMessage), then the notifications
// of buttons (BN_CLICKED) and edits (EN_SETFOCUS), by control id.
struct ControlHooks {
    QObject* keyFilter = nullptr;
    std::function<void(int id)> onCommand;
    std::function<void(int id)> onSetFocus;
};

// Creates the controls of `dialog` as children of `parent` in template order (which is the tab order),
// places them at their rectangles converted with `units`, and registers each control that has an id with
// `host`. Returns the tab stops in their order.
std::vector<QWidget*> buildControls(const DialogTemplate& dialog, QWidget& parent, BaseUnits units, ControlHost& host,
                                    const ControlHooks& hooks);

}  // namespace ravolin
