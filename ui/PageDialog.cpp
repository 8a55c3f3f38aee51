#include "ui/PageDialog.h"

#include <QKeyEvent>

#include "resources/DialogTemplate.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/EditControls.h"
#include "ui/controls/TemplateBuilder.h"

namespace ravolin {

bool isEnterKey(const QKeyEvent& key) { return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter; }

bool PageDialog::createPage(int templateId, QWidget* parent, const Settings& record) {
    const DialogTemplate* page = findDialogTemplate(templateId);
    if (!page) return false;
    m_pRecord = &record;
    setParent(parent, Qt::Widget);
    hide();
    const BaseUnits units = dialogBaseUnits(font());
    resize(MapDialogRect(page->rect, units).size());
    m_tabStops = buildControls(*page, *this, units, *this, {this, {}, [this](int id) { OnSetFocus(id); }});
    return OnInitDialog();
}

bool PageDialog::OnInitDialog() {
    FillControls();
    return true;
}

void PageDialog::OnSetFocus(int id) { selectAllAndScrollCaret(GetDlgItem(id)); }

bool PageDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        PreTranslateMessage(static_cast<QWidget*>(watched), static_cast<const QKeyEvent&>(*event))) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace ravolin
