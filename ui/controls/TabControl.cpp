#include "ui/controls/TabControl.h"

#include <QProxyStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>
#include <QToolButton>

namespace ravolin {
namespace {

// Room between the pane's frame and the pages laid over it.
constexpr int kPaneMargin = 4;

// Tabs with little room beside their texts, so that all ten tabs of the main window show at once without
// scroll arrows: the styles' default leaves room for about seven.
class CompactTabStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace && widget) return widget->fontMetrics().averageCharWidth();
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

TabControl::TabControl(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this)) {
    // The proxy follows the application's style; the bar owns it.
    auto* compact = new CompactTabStyle;
    compact->setParent(m_bar);
    m_bar->setStyle(compact);
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    m_bar->setElideMode(Qt::ElideNone);
    // Should the tabs still not fit (a very wide face), arrows scroll them; the current tab is kept in view.
    m_bar->setUsesScrollButtons(true);
    // The tabs take the focus (arrow keys then switch pages); their scroll arrows don't.
    m_bar->setFocusPolicy(Qt::StrongFocus);
    for (QToolButton* arrow : m_bar->findChildren<QToolButton*>()) arrow->setFocusPolicy(Qt::NoFocus);
    connect(m_bar, &QTabBar::currentChanged, this, [this] {
        if (!m_quiet) emit selChange();
    });
}

int TabControl::InsertItem(int index, const QString& text) {
    m_quiet = true;
    const int inserted = m_bar->insertTab(index, text);
    m_quiet = false;
    return inserted;
}

int TabControl::GetItemCount() const { return m_bar->count(); }

int TabControl::GetCurSel() const { return m_bar->currentIndex(); }

void TabControl::SetCurSel(int index) {
    m_quiet = true;
    m_bar->setCurrentIndex(index);
    m_quiet = false;
}

int TabControl::barHeight() const { return m_bar->sizeHint().height(); }

QRect TabControl::AdjustRect(bool larger, const QRect& rect) const {
    const QMargins margins(kPaneMargin, barHeight() + kPaneMargin, kPaneMargin, kPaneMargin);
    return larger ? rect.marginsAdded(margins) : rect.marginsRemoved(margins);
}

void TabControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_bar->setGeometry(0, 0, width(), barHeight());
}

void TabControl::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame pane;
    pane.initFrom(this);
    pane.shape = QTabBar::RoundedNorth;
    pane.tabBarSize = m_bar->sizeHint();
    pane.tabBarRect = m_bar->geometry();
    pane.rect = rect().adjusted(0, barHeight() - 1, 0, 0);
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, pane);
}

}  // namespace ravolin
