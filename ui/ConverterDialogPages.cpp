#include "ui/ConverterDialog.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QTabBar>

#include "ui/controls/TabControl.h"

namespace ravolin {

void ConverterDialog::createPages() {
    m_numericPage.Create(m_client, m_record);
    for (int i = 0; i < static_cast<int>(kArrayCount); ++i) {
        // The page fills itself from its index while it is created.
        m_arrayPage[static_cast<std::size_t>(i)].SetArrayIndex(i);
        m_arrayPage[static_cast<std::size_t>(i)].Create(m_client, m_record);
    }
    placePages();
    // Tab moves through the tabs, then the shown page, where the tab control stands in the template: between
    // the buttons and the output pane.
    QWidget* previous = GetDlgItem(kIdExecute);
    QWidget::setTabOrder(std::exchange(previous, m_tab->tabBar()), m_tab->tabBar());
    for (QWidget* control : m_numericPage.tabStops()) QWidget::setTabOrder(std::exchange(previous, control), control);
    for (const ArrayPage& page : m_arrayPage) {
        for (QWidget* control : page.tabStops()) QWidget::setTabOrder(std::exchange(previous, control), control);
    }
    connect(&m_numericPage, &PageDialog::formatRequested, this, [this](int row) { OnFormatSettings(0, row); });
    for (int i = 0; i < static_cast<int>(kArrayCount); ++i) {
        connect(&m_arrayPage[static_cast<std::size_t>(i)], &PageDialog::formatRequested, this,
                [this, i] { OnFormatSettings(i + 1); });
    }
    m_nCurTab = 0;
    ShowPage(0);
}

void ConverterDialog::placePages() {
    if (!m_tab || m_numericPage.parentWidget() != m_client) return;
    const QRect displayArea = m_tab->AdjustRect(false, m_tab->geometry());
    m_numericPage.setGeometry(displayArea);
    for (ArrayPage& page : m_arrayPage) page.setGeometry(displayArea);
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

void ConverterDialog::selectPage(int index) {
    const int count = m_tab->GetItemCount();
    index = ((index % count) + count) % count;
    // A field of the page that goes out of sight would leave the keyboard nowhere.
    const QWidget* focus = QApplication::focusWidget();
    const bool onPage = focus && (m_numericPage.isAncestorOf(focus) ||
                                  std::any_of(m_arrayPage.begin(), m_arrayPage.end(),
                                              [focus](const ArrayPage& page) { return page.isAncestorOf(focus); }));
    m_tab->tabBar()->setCurrentIndex(index);
    if (onPage) m_tab->tabBar()->setFocus(Qt::ShortcutFocusReason);
}

QString ConverterDialog::styleSummaryShown(int tab, int row) const {
    return tab == 0 ? m_numericPage.styleSummary(row)
                    : m_arrayPage.at(static_cast<std::size_t>(tab - 1)).styleSummary(0);
}

}  // namespace ravolin
