#include "ui/ArrayPage.h"

#include <QKeyEvent>

#include "resources/ResourceIds.h"
#include "ui/DialogTexts.h"
#include "ui/StyleSummary.h"

namespace ravolin {

bool ArrayPage::Create(QWidget* parent, const Settings& record) {
    if (m_nIndex < 0 || m_nIndex >= static_cast<int>(kArrayCount)) return false;
    if (!createPage(kArrayPageId, parent, record)) return false;
    // A screen reader names both fields with the array they belong to.
    const QString array = QString::number(m_nIndex + 1);
    GetDlgItem(kIdArrayToken)->setAccessibleName(QString::fromUtf8(kArrayTokenItem).arg(array));
    GetDlgItem(kIdArrayValues)->setAccessibleName(QString::fromUtf8(kArrayValuesItem).arg(array));
    addStyleLine(0, {95, 6, 18, 12}, QString::fromUtf8(kArrayStyleItem).arg(array),
                 QString::fromUtf8(kArraySummaryItem).arg(array));
    return true;
}

void ArrayPage::FillControls() { showSlot(record().arrays[static_cast<std::size_t>(m_nIndex)]); }

void ArrayPage::showSlot(const ArraySlot& array) {
    showDlgItemText(kIdArrayToken, array.token);
    showDlgItemText(kIdArrayValues, array.valuesText);
    m_style = array.style;
    setStyleSummary(0, QString::fromStdString(ravolin::styleSummary(array.style)));
}

ArraySlot ArrayPage::slotShown() const {
    return {GetDlgItemText(kIdArrayToken), GetDlgItemText(kIdArrayValues), m_style};
}

bool ArrayPage::PreTranslateMessage(QWidget*, const QKeyEvent& key) {
    // Enter starts a new line in the value list and goes on to the window, which runs, from the token.
    return key.key() == Qt::Key_Escape;
}

}  // namespace ravolin
