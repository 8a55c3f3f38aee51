#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>

namespace ravolin {

// A one-line edit. Both kinds of edit report gaining the focus after their own focus handling, as a
// Windows edit notifies its parent (EN_SETFOCUS), so the owner can select the text.
class LineEdit : public QLineEdit {
    Q_OBJECT
public:
    // `limitToBox`: typing stops where the text would no longer fit the box (an edit without
    // automatic horizontal scrolling).
    LineEdit(QWidget* parent, bool limitToBox);

signals:
    void focusGained();

protected:
    void focusInEvent(QFocusEvent* event) override;
};

// A multi-line edit with both scroll bars that keeps Enter for itself, read-only or not. As on Windows,
// Ctrl+Tab types a tab (Tab alone moves to the next control), and unless `keepSelection` the selection is
// shown only while the edit has the focus. A read-only one keeps what its owner selected on the focus when
// a click gave it that focus, so one click selects a result to copy; the next click places the caret.
class MultiLineEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    MultiLineEdit(QWidget* parent, bool keepSelection);

signals:
    void focusGained();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Copy and drag carry plain text only: the default also renders HTML and ODF, which takes seconds for
    // a large output.
    QMimeData* createMimeDataFromSelection() const override;

private:
    bool m_clickGaveFocus = false;  // the press under way is the one that gave the focus
};

// Selects the whole text of an edit and scrolls the caret into view (EM_SETSEL 0, -1; EM_SCROLLCARET).
void selectAllAndScrollCaret(QWidget* edit);

}  // namespace ravolin
