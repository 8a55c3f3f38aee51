#pragma once

#include <QRect>
#include <QWidget>

class QTabBar;

namespace ravolin {

// A Windows tab control: a row of tabs over a display area. It owns no pages: its parent lays pages over
// the display area and shows the one that fits the selection.
class TabControl : public QWidget {
    Q_OBJECT
public:
    explicit TabControl(QWidget* parent);

    int InsertItem(int index, const QString& text);
    int GetItemCount() const;
    int GetCurSel() const;
    // Selects a tab without notifying, as TCM_SETCURSEL.
    void SetCurSel(int index);
    // TCM_ADJUSTRECT: with `larger` false, the display area of a control whose geometry is `rect` (both in
    // the parent's coordinates); with `larger` true, the geometry whose display area is `rect`.
    QRect AdjustRect(bool larger, const QRect& rect) const;

    QTabBar* tabBar() const { return m_bar; }

signals:
    // TCN_SELCHANGE: the user chose another tab.
    void selChange();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int barHeight() const;

    QTabBar* m_bar;
    bool m_quiet = false;
};

}  // namespace ravolin
