#include "ui/ConverterDialog.h"

#include <utility>

#include "ui/controls/TabControl.h"

namespace ravolin {

void ConverterDialog::createPages() {
    m_numericPage.Create(m_client, m_record);
    for (int i = 0; i < static_cast<int>(kArrayCount); ++i) {
        // The page fills itself from its index while it is created.
        m_arrayPage[static_cast<std::size_t>(i)].SetArrayIndex(i);
        m_arrayPage[static_cast<std::size_t>(i)].Create(m_client, m_record);
    }
    const QRect displayArea = m_tab->AdjustRect(false, m_tab->geometry());
    m_numericPage.setGeometry(displayArea);
    for (ArrayPage& page : m_arrayPage) page.setGeometry(displayArea);
    // Tab moves through the shown page where the tab control stands in the template, between the buttons
    // and the output pane.
    QWidget* previous = GetDlgItem(kIdExecute);
    for (QWidget* control : m_numericPage.tabStops()) QWidget::setTabOrder(std::exchange(previous, control), control);
    for (const ArrayPage& page : m_arrayPage) {
        for (QWidget* control : page.tabStops()) QWidget::setTabOrder(std::exchange(previous, control), control);
    }
    m_nCurTab = 0;
    ShowPage(0);
}

void ConverterDialog::OnSelchangeTab() {
    const int selected = m_tab->GetCurSel();
    if (selected == m_nCurTab) return;
    m_nCurTab = selected;
    ShowPage(selected);
}

void ConverterDialog::ShowPage(int index) {
    m_numericPage.hide();
    for (ArrayPage& page : m_arrayPage) page.hide();
    if (index == 0) {
        m_numericPage.show();
    } else if (index >= 1 && index <= static_cast<int>(kArrayCount)) {
        m_arrayPage[static_cast<std::size_t>(index - 1)].show();
    }
}

}  // namespace ravolin
