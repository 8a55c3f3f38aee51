#include "ui/PageDialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>

#include "resources/DialogTemplate.h"
#include "ui/DialogTexts.h"
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
    m_tabStops = buildControls(*page, *this, units, *this, {this, {}, [this](int id) { OnSetFocus(id); }, {}});
    return OnInitDialog();
}

bool PageDialog::OnInitDialog() {
    FillControls();
    return true;
}

void PageDialog::addStyleLine(int row, const DialogRect& button, const QString& buttonName,
                              const QString& summaryName) {
    StyleLine line;
    line.button = new QToolButton(this);
    line.button->setText(QString::fromUtf8(kStyleButton));
    line.button->setToolTip(QString::fromUtf8(kStyleButtonTip));
    line.button->setAccessibleName(buttonName);
    // Reached by a click; Tab stays on the fields, as in the template.
    line.button->setFocusPolicy(Qt::ClickFocus);
    line.button->setGeometry(MapDialogRect(button, dialogBaseUnits(font())));
    connect(line.button, &QToolButton::clicked, this, [this, row] { emit formatRequested(row); });
    line.summary = new QLabel(this);
    line.summary->setTextFormat(Qt::PlainText);
    line.summary->setAccessibleName(summaryName);
    if (m_styleLines.size() <= static_cast<std::size_t>(row)) m_styleLines.resize(static_cast<std::size_t>(row) + 1);
    // The page filled itself before its lines were added: the summary it was given then shows now.
    line.text = m_styleLines[static_cast<std::size_t>(row)].text;
    m_styleLines[static_cast<std::size_t>(row)] = line;
    setStyleSummary(row, line.text);
}

void PageDialog::setStyleSummary(int row, const QString& summary) {
    if (m_styleLines.size() <= static_cast<std::size_t>(row)) m_styleLines.resize(static_cast<std::size_t>(row) + 1);
    StyleLine& line = m_styleLines[static_cast<std::size_t>(row)];
    line.text = summary;
    if (!line.summary) return;
    line.summary->setToolTip(summary);
    line.summary->setAccessibleDescription(summary);
    placeSummary(line);
}

QString PageDialog::styleSummary(int row) const { return m_styleLines.at(static_cast<std::size_t>(row)).text; }

QToolButton* PageDialog::styleButton(int row) const { return m_styleLines.at(static_cast<std::size_t>(row)).button; }

void PageDialog::placeSummary(const StyleLine& line) {
    // From the button to the page's edge; a summary longer than that is cut with "…", whole in its tooltip.
    const QRect button = line.button->geometry();
    const int left = button.right() + 1 + button.height() / 4;
    line.summary->setGeometry(left, button.top(), std::max(0, width() - left - button.height() / 4), button.height());
    line.summary->setText(line.summary->fontMetrics().elidedText(line.text, Qt::ElideRight, line.summary->width()));
}

void PageDialog::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (const StyleLine& line : m_styleLines) {
        if (line.summary) placeSummary(line);
    }
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
