#pragma once

#include <vector>

#include <QWidget>

#include "resources/DialogTemplate.h"
#include "settings/Settings.h"
#include "ui/controls/ControlHost.h"

class QKeyEvent;
class QLabel;
class QToolButton;

namespace ravolin {

// A modeless child dialog laid over the main dialog's tab control. It shows slots of a document: their
// fields in its edits, their styles (which have no edit) in its summaries.
class PageDialog : public QWidget, public ControlHost {
    Q_OBJECT
public:
    // Copies the settings record into the page's edits.
    virtual void FillControls() = 0;
    // The page's tab stops in template order.
    const std::vector<QWidget*>& tabStops() const { return m_tabStops; }

    // The summary of slot `row`'s styles beside its fields (empty: the defaults), and the button that asks
    // for the format dialog at that slot.
    void setStyleSummary(int row, const QString& summary);
    QString styleSummary(int row) const;
    QToolButton* styleButton(int row) const;

signals:
    // The button of slot `row` was pressed.
    void formatRequested(int row);

protected:
    PageDialog() = default;

    // Builds the page from template `templateId` as a hidden child of `parent`, then runs OnInitDialog.
    bool createPage(int templateId, QWidget* parent, const Settings& record);
    virtual bool OnInitDialog();
    // Sees every key aimed at one of the page's controls before anyone else; true consumes it.
    virtual bool PreTranslateMessage(QWidget* target, const QKeyEvent& key) = 0;

    const Settings& record() const { return *m_pRecord; }
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Adds the style line of slot `row`: its button at `button` (dialog units), its summary from there to the
    // page's right edge; `names` are the screen-reader names of both.
    void addStyleLine(int row, const DialogRect& button, const QString& buttonName, const QString& summaryName);

private:
    // EN_SETFOCUS of any edit: typing replaces the old content at once.
    void OnSetFocus(int id);

    struct StyleLine {
        QToolButton* button = nullptr;
        QLabel* summary = nullptr;
        QString text;
    };
    void placeSummary(const StyleLine& line);

    const Settings* m_pRecord = nullptr;
    std::vector<QWidget*> m_tabStops;
    std::vector<StyleLine> m_styleLines;
};

bool isEnterKey(const QKeyEvent& key);

}  // namespace ravolin
