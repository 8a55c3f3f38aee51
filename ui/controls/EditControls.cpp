#include "ui/controls/EditControls.h"

#include <utility>

#include <QKeyEvent>
#include <QMimeData>
#include <QStyle>
#include <QValidator>

namespace ravolin {
namespace {

// Refuses input whose text would be wider than the edit's text area.
class FitsBoxValidator : public QValidator {
public:
    explicit FitsBoxValidator(QLineEdit* edit) : QValidator(edit), m_edit(edit) {}

    State validate(QString& input, int&) const override {
        const int room =
            m_edit->contentsRect().width() - 2 * m_edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        return m_edit->fontMetrics().horizontalAdvance(input) <= room ? Acceptable : Invalid;
    }

private:
    QLineEdit* m_edit;
};

bool isEnter(const QKeyEvent* event) { return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter; }

}  // namespace

LineEdit::LineEdit(QWidget* parent, bool limitToBox) : QLineEdit(parent) {
    if (limitToBox) setValidator(new FitsBoxValidator(this));
}

void LineEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit focusGained();
}

MultiLineEdit::MultiLineEdit(QWidget* parent, bool keepSelection) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // In a dialog, Tab moves to the next control rather than typing a tab.
    setTabChangesFocus(true);
    if (!keepSelection) {
        // An edit without the focus draws its selection in the inactive colours: make them the plain ones.
        QPalette colours = palette();
        colours.setBrush(QPalette::Inactive, QPalette::Highlight, colours.brush(QPalette::Inactive, QPalette::Base));
        colours.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                         colours.brush(QPalette::Inactive, QPalette::Text));
        setPalette(colours);
    }
}

void MultiLineEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    m_clickGaveFocus = isReadOnly() && event->reason() == Qt::MouseFocusReason;
    emit focusGained();
}

void MultiLineEdit::mousePressEvent(QMouseEvent* event) {
    // The focus comes before the press that brought it: the press would undo the selection just made.
    if (m_clickGaveFocus) {
        event->accept();
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

void MultiLineEdit::mouseMoveEvent(QMouseEvent* event) {
    if (m_clickGaveFocus) {
        event->accept();
        return;
    }
    QPlainTextEdit::mouseMoveEvent(event);
}

void MultiLineEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (std::exchange(m_clickGaveFocus, false)) {
        event->accept();
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(event);
}

void MultiLineEdit::keyPressEvent(QKeyEvent* event) {
    // A read-only editor still takes Enter, so it never reaches the dialog's default button.
    if (isReadOnly() && isEnter(event)) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier) {
        if (!isReadOnly()) insertPlainText(QStringLiteral("\t"));
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

QMimeData* MultiLineEdit::createMimeDataFromSelection() const {
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    auto* mime = new QMimeData;
    mime->setText(text);
    return mime;
}

void selectAllAndScrollCaret(QWidget* edit) {
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        line->selectAll();
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(edit)) {
        multi->selectAll();
        multi->ensureCursorVisible();
    }
}

}  // namespace ravolin
