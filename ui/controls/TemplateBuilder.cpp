#include "ui/controls/TemplateBuilder.h"

#include <algorithm>

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "ui/controls/ControlHost.h"
#include "ui/controls/EditControls.h"
#include "ui/controls/ProgramIconLoader.h"
#include "ui/controls/TabControl.h"

namespace ravolin {
namespace {

bool has(std::uint32_t style, std::uint32_t bits) { return (style & bits) == bits; }

QWidget* makeButton(const ControlTemplate& control, QWidget& parent, const ControlHooks& hooks) {
    // BS_FLAT is kept in the template but not drawn: with the visual styles the program asks for, Windows
    // draws flat push buttons like the others.
    auto* button = new QPushButton(QString::fromUtf8(control.caption), &parent);
    button->setDefault((control.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
    const int id = control.id;
    QObject::connect(button, &QPushButton::clicked, &parent, [hooks, id] {
        if (hooks.onCommand) hooks.onCommand(id);
    });
    return button;
}

QWidget* makeCheckBox(const ControlTemplate& control, QWidget& parent, const ControlHooks& hooks) {
    auto* box = new QCheckBox(QString::fromUtf8(control.caption), &parent);
    const int id = control.id;
    QObject::connect(box, &QCheckBox::clicked, &parent, [hooks, id] {
        if (hooks.onCommand) hooks.onCommand(id);
    });
    return box;
}

QWidget* makeGroupBox(const ControlTemplate& control, QWidget& parent) {
    auto* group = new QGroupBox(QString::fromUtf8(control.caption), &parent);
    // A group box only frames: clicks and the stacking go to the controls it surrounds.
    group->setAttribute(Qt::WA_TransparentForMouseEvents);
    group->lower();
    return group;
}

template <typename Edit>
void notifyFocus(Edit* edit, QWidget& parent, const ControlHooks& hooks, int id) {
    QObject::connect(edit, &Edit::focusGained, &parent, [hooks, id] {
        if (hooks.onSetFocus) hooks.onSetFocus(id);
    });
}

QWidget* makeEdit(const ControlTemplate& control, QWidget& parent, const ControlHooks& hooks) {
    if (has(control.style, ES_MULTILINE) && (control.style & (WS_VSCROLL | WS_HSCROLL)) != 0) {
        auto* edit = new MultiLineEdit(&parent, has(control.style, ES_NOHIDESEL));
        edit->setReadOnly(has(control.style, ES_READONLY));
        notifyFocus(edit, parent, hooks, control.id);
        return edit;
    }
    // A multi-line edit without automatic scrolling takes only what fits its box.
    auto* edit = new LineEdit(&parent, has(control.style, ES_MULTILINE) && !has(control.style, ES_AUTOHSCROLL));
    edit->setReadOnly(has(control.style, ES_READONLY));
    notifyFocus(edit, parent, hooks, control.id);
    return edit;
}

QWidget* makeStatic(const ControlTemplate& control, QWidget& parent, const QSize& size) {
    switch (control.kind) {
        case ControlKind::StaticFrame: {
            auto* frame = new QFrame(&parent);
            frame->setFrameStyle(QFrame::Box | (has(control.style, SS_SUNKEN) ? QFrame::Sunken : QFrame::Plain));
            return frame;
        }
        case ControlKind::StaticIcon: {
            auto* icon = new QLabel(&parent);
            icon->setPixmap(loadProgramIcon().pixmap(32, 32));
            icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return icon;
        }
        default: {
            auto* label = new QLabel(QString::fromUtf8(control.caption), &parent);
            label->setTextFormat(Qt::PlainText);
            const bool centred = has(control.style, SS_CENTERIMAGE);
            label->setAlignment(Qt::AlignLeft | (centred ? Qt::AlignVCenter : Qt::AlignTop));
            // Windows wraps the text of a left-aligned static unless it is centred vertically.
            label->setWordWrap(!centred && size.height() > label->fontMetrics().height());
            return label;
        }
    }
}

QWidget* makeControl(const ControlTemplate& control, QWidget& parent, const QSize& size, const ControlHooks& hooks) {
    switch (control.kind) {
        case ControlKind::PushButton:
            return makeButton(control, parent, hooks);
        case ControlKind::CheckBox:
            return makeCheckBox(control, parent, hooks);
        case ControlKind::GroupBox:
            return makeGroupBox(control, parent);
        case ControlKind::Edit:
            return makeEdit(control, parent, hooks);
        case ControlKind::TabControl:
            return new TabControl(&parent);
        case ControlKind::StaticText:
        case ControlKind::StaticFrame:
        case ControlKind::StaticIcon:
            break;
    }
    return makeStatic(control, parent, size);
}

Qt::FocusPolicy focusPolicyOf(const ControlTemplate& control) {
    switch (control.kind) {
        case ControlKind::PushButton:
        case ControlKind::CheckBox:
        case ControlKind::Edit:
            return has(control.style, WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus;
        default:
            return Qt::NoFocus;
    }
}

}  // namespace

std::vector<QWidget*> buildControls(const DialogTemplate& dialog, QWidget& parent, BaseUnits units, ControlHost& host,
                                    const ControlHooks& hooks, std::vector<PlacedControl>* placed) {
    std::vector<QWidget*> tabStops;
    for (const ControlTemplate& control : dialog.controls) {
        const QRect area = MapDialogRect(control.rect, units);
        QWidget* widget = hooks.makeControl ? hooks.makeControl(control.id, parent) : nullptr;
        if (!widget) widget = makeControl(control, parent, area.size(), hooks);
        widget->setGeometry(area);
        // A screen reader announces a control by its caption, without the mnemonic mark.
        if (!control.caption.empty()) widget->setAccessibleName(QString::fromUtf8(control.caption).remove('&'));
        widget->setFocusPolicy(focusPolicyOf(control));
        if (hooks.keyFilter) widget->installEventFilter(hooks.keyFilter);
        if (control.id != kNoId) host.addControl(control.id, widget);
        if (placed) placed->push_back({widget, control.id, area});
        if (has(control.style, WS_TABSTOP)) {
            if (!tabStops.empty()) QWidget::setTabOrder(tabStops.back(), widget);
            tabStops.push_back(widget);
        }
    }
    return tabStops;
}

QRect anchoredRect(const QRect& rect, const QSize& templateSize, const QSize& size, Growth growth) {
    const int dx = std::max(0, size.width() - templateSize.width());
    const int dy = std::max(0, size.height() - templateSize.height());
    // Twice the centre against the whole size: no rounding of odd sizes.
    const bool right = 2 * rect.x() + rect.width() > templateSize.width();
    const bool below = 2 * rect.y() + rect.height() > templateSize.height();
    switch (growth) {
        case Growth::WidthAndHeight:
            return rect.adjusted(0, 0, dx, dy);
        case Growth::Width:
            return rect.adjusted(0, 0, dx, 0).translated(0, below ? dy : 0);
        case Growth::None:
            break;
    }
    return rect.translated(right ? dx : 0, below ? dy : 0);
}

}  // namespace ravolin
