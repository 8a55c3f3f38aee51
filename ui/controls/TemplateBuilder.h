#pragma once

#include <functional>
#include <vector>

#include <QRect>

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
    // A control the window makes itself instead of the template's kind, or nullptr for the template's; the
    // builder still places, names and orders it, and the window wires its notifications.
    std::function<QWidget*(int id, QWidget& parent)> makeControl;
};

// A control as built, with its id (kNoId for statics) and its rectangle in pixels.
struct PlacedControl {
    QWidget* widget = nullptr;
    int id = kNoId;
    QRect rect;
};

// Creates the controls of `dialog` as children of `parent` in template order (which is the tab order),
// places them at their rectangles converted with `units`, and registers each control that has an id with
// `host`. Returns the tab stops in their order; `placed`, when given, receives every control.
std::vector<QWidget*> buildControls(const DialogTemplate& dialog, QWidget& parent, BaseUnits units, ControlHost& host,
                                    const ControlHooks& hooks, std::vector<PlacedControl>* placed = nullptr);

// Which sides of a control follow a window that grows beyond its template's size.
enum class Growth { None, Width, WidthAndHeight };

// Where `rect`, laid out for a window of `templateSize`, goes in a window of `size` (never smaller than the
// template): a growing control keeps its left and top and takes the extra width (and height); every other
// control keeps its size and its distance to the nearer edge, each way. A control below the middle moves
// down with the extra height unless it grows in height itself.
QRect anchoredRect(const QRect& rect, const QSize& templateSize, const QSize& size, Growth growth);

}  // namespace ravolin
