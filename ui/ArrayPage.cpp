#include "ArrayPage.h"

#include <QKeyEvent>

#include "ResourceIds.h"

namespace ravolin {

bool ArrayPage::Create(QWidget* parent, const Settings& record) {
    if (m_nIndex < 0 || m_nIndex >= static_cast<int>(kArrayCount)) return false;
    return createPage(kArrayPageId, parent, record);
}

void ArrayPage::FillControls() {
    const ArraySlot& array = record().arrays[static_cast<std::size_t>(m_nIndex)];
    SetDlgItemText(kIdArrayToken, array.token);
    SetDlgItemText(kIdArrayValues, array.valuesText);
}

bool ArrayPage::PreTranslateMessage(QWidget* target, const QKeyEvent& key) {
    if (key.key() == Qt::Key_Escape) return true;
    // Enter starts a new line in the value list and does nothing elsewhere.
    return isEnterKey(key) && target != GetDlgItem(kIdArrayValues);
}

}  // namespace ravolin
