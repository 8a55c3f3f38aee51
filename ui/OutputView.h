#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <QAbstractScrollArea>
#include <QString>

#include "ui/OutputText.h"
#include "ui/controls/ControlHost.h"

class QMenu;

namespace ravolin {

// The largest result the pane shows, in bytes; a larger run offers to save it to a file instead. The pane
// keeps the run's own bytes and an index of a few bytes per 64 KiB, so a result at the limit costs little
// more than itself.
inline constexpr std::size_t kOutputLimitBytes = std::size_t{1} << 30;

// A copy of more than this many bytes asks first: the clipboard holds its own copy, twice the size in
// UTF-16, and a program that pastes it may take much longer still.
inline constexpr std::size_t kLargeCopyBytes = std::size_t{256} << 20;

// The output pane (control 1001): a read-only view of a run's text that draws only the lines in sight. It
// selects with the mouse and the keyboard (the arrows, Home, End, PgUp, PgDn, with Shift; Ctrl+Home, Ctrl+End,
// Ctrl+A), copies with LF line ends (Ctrl+C, its context menu) and keeps Enter for itself. Positions are byte
// offsets into the text, always at the start of a character and never inside a CR LF.
//
// As the edit it replaces, it reports gaining the focus (EN_SETFOCUS) and keeps what its owner selected then
// when a click gave the focus: one click selects the result to copy, the next places the caret.
class OutputView : public QAbstractScrollArea, public WindowTextControl {
    Q_OBJECT
public:
    explicit OutputView(QWidget* parent = nullptr);
    ~OutputView() override;

    // Shows `text` from its top, without a selection. Takes no copy of it; returns what it showed before, for
    // the caller to let go of where the time it takes doesn't matter.
    SharedOutputText setContent(SharedOutputText text);
    const SharedOutputText& content() const { return m_text; }
    std::string windowText() const override;
    void setWindowText(std::string_view text) override;

    std::size_t anchor() const { return m_anchor; }
    std::size_t caret() const { return m_caret; }
    std::size_t selectionStart() const { return std::min(m_anchor, m_caret); }
    std::size_t selectionEnd() const { return std::max(m_anchor, m_caret); }
    bool hasSelection() const { return m_anchor != m_caret; }
    // Both at positions a caret can take (each moved back to one).
    void setSelection(std::size_t anchor, std::size_t caret);
    // The selection with LF line ends.
    QString selectedText() const;

public slots:
    void selectAll();
    // Puts the selection on the clipboard as plain text with LF line ends; one over the question's size is
    // copied only when the question says so.
    void copy();

public:
    // EM_SETSEL 0, -1 then EM_SCROLLCARET: everything selected, the caret at the end and in sight.
    void selectAllAndScrollCaret();
    void ensureCaretVisible();
    // Asked with the selection's size before a copy of more than `bytes`; true goes on with the copy.
    void setLargeCopyQuestion(std::size_t bytes, std::function<bool(std::size_t selected)> ask);

    // "コピー" and "すべてを選択"; the caller owns the menu.
    QMenu* createContextMenu();

    int firstVisibleLine() const;
    // The lines with a part in sight.
    int visibleLineCount() const;
    // The lines in sight as a screen reader gets them: each whole line up to 64 KiB, LF between them, and
    // where each one lies in the text.
    struct VisibleLine {
        qsizetype textFrom = 0;  // in `text`, UTF-16
        std::size_t from = 0;    // bytes of the content
        std::size_t to = 0;
    };
    struct VisibleText {
        QString text;
        std::vector<VisibleLine> lines;
        // Byte offset <-> offset in `text`, clamped to the lines shown.
        qsizetype toTextOffset(std::string_view bytes, std::size_t offset) const;
        std::size_t toByteOffset(std::string_view bytes, qsizetype offset) const;
    };
    VisibleText visibleText() const;
    // Where the character at `offset` is drawn, in viewport coordinates; the position under `point`.
    QRectF characterRect(std::size_t offset) const;
    std::size_t positionAt(const QPoint& point) const;

signals:
    void focusGained();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct LineSpan {
        std::size_t from = 0;
        std::size_t to = 0;  // before the line end
    };
    LineSpan lineSpan(std::size_t line) const;
    // Horizontal places within a line, in pixels from its start. A line up to one chunk is measured exactly;
    // a longer one is placed a chunk at a time, each chunk where the first chunk's width per byte puts it, so
    // that no place needs more than a chunk measured, however long the line.
    qreal advance(char32_t code, qreal x) const;
    qreal widthPerByte(const LineSpan& span) const;
    std::size_t chunkOf(const LineSpan& span, std::size_t offset) const;
    std::size_t chunkStart(const LineSpan& span, std::size_t chunk) const;
    qreal chunkX(const LineSpan& span, std::size_t chunk) const;
    qreal xOf(const LineSpan& span, std::size_t offset) const;
    std::size_t offsetAt(const LineSpan& span, qreal x) const;
    qreal lineWidth(const LineSpan& span) const;
    void drawLine(QPainter& painter, std::size_t line, qreal top, std::size_t caretLine) const;

    void moveCaret(std::size_t caret, bool extend);
    void moveToLine(std::ptrdiff_t lines, bool extend);
    void updateScrollBars();
    void resetMetrics();
    void noteSelectionChanged();
    qreal scrollX() const;
    int fullRows() const;

    SharedOutputText m_text;
    std::size_t m_anchor = 0;
    std::size_t m_caret = 0;
    qreal m_goalX = -1;  // where Up and Down aim; negative: at the caret
    bool m_clickGaveFocus = false;
    bool m_selecting = false;
    std::size_t m_largeCopyBytes = kLargeCopyBytes;
    std::function<bool(std::size_t)> m_askLargeCopy;

    // Drawing metrics, with the advances measured so far.
    qreal m_lineHeight = 1;
    qreal m_ascent = 0;
    qreal m_tabStop = 80;
    qreal m_averageWidth = 1;
    mutable qreal m_ascii[128] = {};
    mutable std::unordered_map<char32_t, qreal> m_advances;
    mutable qreal m_widest = 0;  // of the lines drawn so far
    qreal m_horizontalUnit = 1;  // pixels per step of the horizontal scroll bar
};

}  // namespace ravolin
