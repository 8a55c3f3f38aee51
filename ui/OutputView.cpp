#include "ui/OutputView.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <utility>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>

#include "ui/DialogTexts.h"

namespace ravolin {
namespace {

// Bytes of a line measured from one place: a line's chunk, and what a screen reader gets of a line.
constexpr std::size_t kChunkBytes = 4096;
constexpr std::size_t kAccessibleLineBytes = 64 * 1024;
// Room between the frame and the text, as the edits leave it.
constexpr qreal kMargin = 4;

struct Character {
    char32_t code = 0;
    std::size_t next = 0;
};

Character characterAt(std::string_view bytes, std::size_t offset) {
    const std::size_t length = utf8Length(bytes, offset);
    const auto lead = static_cast<unsigned char>(bytes[offset]);
    if (length == 1) return {lead < 0x80u ? char32_t{lead} : char32_t{0xFFFD}, offset + 1};
    char32_t code = lead & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k)
        code = (code << 6) | (static_cast<unsigned char>(bytes[offset + k]) & 0x3Fu);
    return {code, offset + length};
}

void appendCharacter(QString& text, char32_t code) {
    if (code < 0x10000) {
        text.append(QChar(static_cast<char16_t>(code)));
    } else {
        text.append(QChar(QChar::highSurrogate(code)));
        text.append(QChar(QChar::lowSurrogate(code)));
    }
}

// A screen reader's view of the pane: the lines in sight and the selection within them.
class OutputViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit OutputViewAccessible(OutputView* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) return view()->visibleText().text;
        return QAccessibleWidget::text(kind);
    }

    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index != 0 || !view()->hasSelection()) return;
        const OutputView::VisibleText shown = view()->visibleText();
        *start = static_cast<int>(shown.toTextOffset(bytes(), view()->selectionStart()));
        *end = static_cast<int>(shown.toTextOffset(bytes(), view()->selectionEnd()));
    }
    int selectionCount() const override { return view()->hasSelection() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { view()->setSelection(view()->caret(), view()->caret()); }
    void setSelection(int, int start, int end) override {
        const OutputView::VisibleText shown = view()->visibleText();
        view()->setSelection(shown.toByteOffset(bytes(), start), shown.toByteOffset(bytes(), end));
    }
    int cursorPosition() const override {
        return static_cast<int>(view()->visibleText().toTextOffset(bytes(), view()->caret()));
    }
    void setCursorPosition(int position) override {
        const std::size_t at = view()->visibleText().toByteOffset(bytes(), position);
        view()->setSelection(at, at);
    }
    QString text(int start, int end) const override {
        const QString shown = view()->visibleText().text;
        start = std::clamp(start, 0, static_cast<int>(shown.size()));
        return shown.mid(start, std::max(0, end - start));
    }
    int characterCount() const override { return static_cast<int>(view()->visibleText().text.size()); }
    QRect characterRect(int offset) const override {
        const std::size_t at = view()->visibleText().toByteOffset(bytes(), offset);
        const QRect local = view()->characterRect(at).toAlignedRect();
        return QRect(view()->viewport()->mapToGlobal(local.topLeft()), local.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        const std::size_t at = view()->positionAt(view()->viewport()->mapFromGlobal(point));
        return static_cast<int>(view()->visibleText().toTextOffset(bytes(), at));
    }
    void scrollToSubstring(int start, int) override { setCursorPosition(start); }
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }

private:
    OutputView* view() const { return static_cast<OutputView*>(widget()); }
    std::string_view bytes() const { return view()->content()->bytes(); }
};

QAccessibleInterface* accessibleOutputView(const QString&, QObject* object) {
    if (auto* view = qobject_cast<OutputView*>(object)) return new OutputViewAccessible(view);
    return nullptr;
}

bool isEnter(const QKeyEvent* event) { return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter; }

}  // namespace

OutputView::OutputView(QWidget* parent) : QAbstractScrollArea(parent), m_text(std::make_shared<OutputText>("")) {
    static const bool installed = (QAccessible::installFactory(accessibleOutputView), true);
    (void)installed;
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    // Without the focus the selection is drawn as plain text, as the edit it replaces draws it.
    QPalette colours = palette();
    colours.setBrush(QPalette::Inactive, QPalette::Highlight, colours.brush(QPalette::Inactive, QPalette::Base));
    colours.setBrush(QPalette::Inactive, QPalette::HighlightedText, colours.brush(QPalette::Inactive, QPalette::Text));
    setPalette(colours);
    resetMetrics();
}

OutputView::~OutputView() = default;

SharedOutputText OutputView::setContent(SharedOutputText text) {
    SharedOutputText previous = std::exchange(m_text, text ? std::move(text) : std::make_shared<OutputText>(""));
    m_anchor = m_caret = 0;
    m_goalX = -1;
    m_widest = 0;
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::TextUpdated);
        QAccessible::updateAccessibility(&changed);
    }
    return previous;
}

std::string OutputView::windowText() const { return m_text->withLineEnds(0, m_text->size(), "\r\n"); }

void OutputView::setWindowText(std::string_view text) { setContent(std::make_shared<OutputText>(std::string(text))); }

void OutputView::setSelection(std::size_t anchor, std::size_t caret) {
    const std::size_t newAnchor = m_text->characterStart(anchor);
    const std::size_t newCaret = m_text->characterStart(caret);
    if (newAnchor == m_anchor && newCaret == m_caret) return;
    m_anchor = newAnchor;
    m_caret = newCaret;
    noteSelectionChanged();
}

QString OutputView::selectedText() const {
    const std::string text = m_text->withLineEnds(selectionStart(), selectionEnd(), "\n");
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void OutputView::selectAll() { setSelection(0, m_text->size()); }

void OutputView::selectAllAndScrollCaret() {
    selectAll();
    ensureCaretVisible();
}

void OutputView::copy() {
    if (!hasSelection()) return;
    const std::size_t selected = selectionEnd() - selectionStart();
    if (selected > m_largeCopyBytes && m_askLargeCopy && !m_askLargeCopy(selected)) return;
    auto* mime = new QMimeData;
    mime->setText(selectedText());
    QApplication::clipboard()->setMimeData(mime);
}

void OutputView::setLargeCopyQuestion(std::size_t bytes, std::function<bool(std::size_t)> ask) {
    m_largeCopyBytes = bytes;
    m_askLargeCopy = std::move(ask);
}

QMenu* OutputView::createContextMenu() {
    auto* menu = new QMenu(this);
    QAction* copyItem = menu->addAction(QString::fromUtf8(kCopyItem), this, &OutputView::copy);
    copyItem->setShortcut(QKeySequence::Copy);
    copyItem->setEnabled(hasSelection());
    menu->addSeparator();
    QAction* selectAllItem = menu->addAction(QString::fromUtf8(kSelectAllItem), this, &OutputView::selectAll);
    selectAllItem->setShortcut(QKeySequence::SelectAll);
    return menu;
}

// Lines and places.

OutputView::LineSpan OutputView::lineSpan(std::size_t line) const {
    return {m_text->lineStart(line), m_text->lineEnd(line)};
}

qreal OutputView::advance(char32_t code, qreal x) const {
    if (code == '\t') return (std::floor(x / m_tabStop) + 1) * m_tabStop - x;
    qreal* known = nullptr;
    if (code < 128) {
        known = &m_ascii[code];
        if (*known >= 0) return *known;
    } else if (const auto found = m_advances.find(code); found != m_advances.end()) {
        return found->second;
    }
    QString shown;
    appendCharacter(shown, code);
    QFont drawn = font();
    drawn.setKerning(false);
    const qreal width = QFontMetricsF(drawn).horizontalAdvance(shown);
    if (known) {
        *known = width;
    } else {
        m_advances.emplace(code, width);
    }
    return width;
}

qreal OutputView::widthPerByte(const LineSpan& span) const {
    const std::size_t end = chunkStart(span, 1);
    qreal x = 0;
    for (std::size_t at = span.from; at < end;) {
        const Character c = characterAt(m_text->bytes(), at);
        x += advance(c.code, x);
        at = c.next;
    }
    return end > span.from && x > 0 ? x / static_cast<qreal>(end - span.from) : m_averageWidth;
}

std::size_t OutputView::chunkOf(const LineSpan& span, std::size_t offset) const {
    if (span.to - span.from <= kChunkBytes || offset <= span.from) return 0;
    const std::size_t chunk = (std::min(offset, span.to) - span.from) / kChunkBytes;
    // A chunk's start moves back to a character's; the offset may lie before it.
    return offset < chunkStart(span, chunk) ? chunk - 1 : chunk;
}

std::size_t OutputView::chunkStart(const LineSpan& span, std::size_t chunk) const {
    if (chunk == 0) return span.from;
    const std::size_t at = span.from + chunk * kChunkBytes;
    return at >= span.to ? span.to : m_text->characterStart(at);
}

qreal OutputView::chunkX(const LineSpan& span, std::size_t chunk) const {
    return chunk == 0 ? 0 : static_cast<qreal>(chunk * kChunkBytes) * widthPerByte(span);
}

qreal OutputView::xOf(const LineSpan& span, std::size_t offset) const {
    offset = std::clamp(offset, span.from, span.to);
    const std::size_t chunk = chunkOf(span, offset);
    qreal x = chunkX(span, chunk);
    for (std::size_t at = chunkStart(span, chunk); at < offset;) {
        const Character c = characterAt(m_text->bytes(), at);
        x += advance(c.code, x);
        at = c.next;
    }
    return x;
}

std::size_t OutputView::offsetAt(const LineSpan& span, qreal x) const {
    if (x <= 0 || span.to == span.from) return span.from;
    std::size_t chunk = 0;
    if (span.to - span.from > kChunkBytes) {
        const auto reach = static_cast<std::size_t>(x / (kChunkBytes * widthPerByte(span)));
        chunk = std::min(reach, (span.to - span.from - 1) / kChunkBytes);
    }
    qreal at = chunkX(span, chunk);
    for (std::size_t offset = chunkStart(span, chunk); offset < span.to;) {
        const Character c = characterAt(m_text->bytes(), offset);
        const qreal width = advance(c.code, at);
        if (at + width / 2 > x) return offset;
        at += width;
        offset = c.next;
    }
    return span.to;
}

qreal OutputView::lineWidth(const LineSpan& span) const { return xOf(span, span.to); }

int OutputView::fullRows() const { return std::max(1, static_cast<int>(viewport()->height() / m_lineHeight)); }

int OutputView::firstVisibleLine() const { return verticalScrollBar()->value(); }

int OutputView::visibleLineCount() const {
    const int rows = static_cast<int>(std::ceil(viewport()->height() / m_lineHeight));
    return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(std::max(rows, 1)),
                                                  m_text->lineCount() - static_cast<std::size_t>(firstVisibleLine())));
}

qreal OutputView::scrollX() const { return horizontalScrollBar()->value() * m_horizontalUnit; }

QRectF OutputView::characterRect(std::size_t offset) const {
    const std::size_t line = m_text->lineOf(offset);
    const LineSpan span = lineSpan(line);
    const qreal x = xOf(span, offset);
    const qreal width = offset < span.to ? advance(characterAt(m_text->bytes(), offset).code, x) : advance(' ', x);
    const qreal top = (static_cast<qreal>(line) - firstVisibleLine()) * m_lineHeight;
    return {kMargin + x - scrollX(), top, width, m_lineHeight};
}

std::size_t OutputView::positionAt(const QPoint& point) const {
    const qreal row = std::floor(point.y() / m_lineHeight);
    const qreal line = std::clamp<qreal>(firstVisibleLine() + row, 0, static_cast<qreal>(m_text->lineCount() - 1));
    return offsetAt(lineSpan(static_cast<std::size_t>(line)), point.x() - kMargin + scrollX());
}

OutputView::VisibleText OutputView::visibleText() const {
    VisibleText shown;
    const auto first = static_cast<std::size_t>(firstVisibleLine());
    for (std::size_t line = first; line < first + static_cast<std::size_t>(visibleLineCount()); ++line) {
        const LineSpan span = lineSpan(line);
        const std::size_t to = span.to - span.from > kAccessibleLineBytes
                                   ? m_text->characterStart(span.from + kAccessibleLineBytes)
                                   : span.to;
        if (line > first) shown.text.append(QLatin1Char('\n'));
        shown.lines.push_back({shown.text.size(), span.from, to});
        shown.text.append(
            QString::fromUtf8(m_text->bytes().data() + span.from, static_cast<qsizetype>(to - span.from)));
    }
    return shown;
}

qsizetype OutputView::VisibleText::toTextOffset(std::string_view bytes, std::size_t offset) const {
    if (lines.empty() || offset <= lines.front().from) return 0;
    if (offset > lines.back().to) return text.size();
    auto line = std::upper_bound(lines.begin(), lines.end(), offset,
                                 [](std::size_t at, const VisibleLine& l) { return at < l.from; }) -
                1;
    qsizetype units = line->textFrom;
    for (std::size_t at = line->from; at < std::min(offset, line->to);) {
        const Character c = characterAt(bytes, at);
        units += c.code >= 0x10000 ? 2 : 1;
        at = c.next;
    }
    return units;
}

std::size_t OutputView::VisibleText::toByteOffset(std::string_view bytes, qsizetype offset) const {
    if (lines.empty() || offset <= 0) return lines.empty() ? 0 : lines.front().from;
    auto line = std::upper_bound(lines.begin(), lines.end(), offset,
                                 [](qsizetype at, const VisibleLine& l) { return at < l.textFrom; }) -
                1;
    qsizetype units = line->textFrom;
    std::size_t at = line->from;
    while (at < line->to && units < offset) {
        const Character c = characterAt(bytes, at);
        units += c.code >= 0x10000 ? 2 : 1;
        at = c.next;
    }
    return at;
}

// Drawing.

void OutputView::resetMetrics() {
    QFont drawn = font();
    drawn.setKerning(false);
    const QFontMetricsF metrics(drawn);
    m_lineHeight = std::max<qreal>(1, std::ceil(metrics.lineSpacing()));
    m_ascent = metrics.ascent();
    m_averageWidth = std::max<qreal>(1, metrics.averageCharWidth());
    m_tabStop = 80;
    std::fill(std::begin(m_ascii), std::end(m_ascii), -1);
    m_advances.clear();
    m_widest = 0;
    updateScrollBars();
    viewport()->update();
}

void OutputView::updateScrollBars() {
    const auto lines = static_cast<qreal>(m_text->lineCount());
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, static_cast<int>(std::max<qreal>(0, lines - fullRows())));
    vertical->setPageStep(fullRows());
    vertical->setSingleStep(1);
    const qreal room = std::max<qreal>(0, m_widest + 2 * kMargin - viewport()->width());
    m_horizontalUnit = std::max<qreal>(1, std::ceil(room / (INT_MAX / 2)));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, static_cast<int>(std::ceil(room / m_horizontalUnit)));
    horizontal->setPageStep(std::max(1, static_cast<int>(viewport()->width() / m_horizontalUnit)));
    horizontal->setSingleStep(std::max(1, static_cast<int>(2 * m_averageWidth / m_horizontalUnit)));
}

void OutputView::drawLine(QPainter& painter, std::size_t line, qreal top, std::size_t caretLine) const {
    const LineSpan span = lineSpan(line);
    const qreal left = scrollX();
    const qreal right = left + viewport()->width();
    const std::string_view bytes = m_text->bytes();
    const bool lastLine = line + 1 == m_text->lineCount();
    // Without the focus the inactive colours, which show no selection.
    const QPalette::ColorGroup colours = hasFocus() ? QPalette::Active : QPalette::Inactive;

    // The selection's part of this line, its line end drawn as a blank when selected.
    const std::size_t from = std::max(selectionStart(), span.from);
    const std::size_t to = std::min(selectionEnd(), span.to);
    const bool endSelected = !lastLine && selectionStart() <= span.to && selectionEnd() > span.to;
    if (from < to || endSelected) {
        const qreal x0 = from < to ? xOf(span, from) : xOf(span, span.to);
        qreal x1 = from < to ? xOf(span, to) : x0;
        if (endSelected) x1 += advance(' ', x1);
        painter.fillRect(QRectF(kMargin + x0 - left, top, x1 - x0, m_lineHeight),
                         palette().brush(colours, QPalette::Highlight));
    }

    // Only the characters in sight are decoded, a chunk at a time.
    std::size_t chunk = chunkOf(span, offsetAt(span, left));
    const std::size_t lastChunk = span.to - span.from > kChunkBytes ? (span.to - span.from - 1) / kChunkBytes : 0;
    for (; chunk <= lastChunk; ++chunk) {
        qreal x = chunkX(span, chunk);
        if (x > right) break;
        const std::size_t end = chunk == lastChunk ? span.to : chunkStart(span, chunk + 1);
        QString run;
        qreal runX = x;
        bool runSelected = false;
        const auto flush = [&] {
            if (run.isEmpty()) return;
            painter.setPen(palette().color(colours, runSelected ? QPalette::HighlightedText : QPalette::Text));
            painter.drawText(QPointF(kMargin + runX - left, top + m_ascent), run);
            run.clear();
        };
        for (std::size_t at = chunkStart(span, chunk); at < end && x <= right;) {
            const Character c = characterAt(bytes, at);
            const qreal width = advance(c.code, x);
            if (x + width > left) {
                const bool selected = at >= selectionStart() && at < selectionEnd();
                if (c.code == '\t' || selected != runSelected) {
                    flush();
                    runSelected = selected;
                }
                if (run.isEmpty()) runX = x;
                if (c.code != '\t') appendCharacter(run, c.code);
            }
            x += width;
            at = c.next;
        }
        flush();
    }
    m_widest = std::max(m_widest, lineWidth(span));

    if (hasFocus() && caretLine == line) {
        const qreal x = kMargin + xOf(span, m_caret) - left;
        painter.fillRect(QRectF(x, top, 1, m_lineHeight), palette().brush(QPalette::Text));
    }
}

void OutputView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    QFont drawn = font();
    drawn.setKerning(false);
    painter.setFont(drawn);
    const qreal widest = m_widest;
    const auto first = static_cast<std::size_t>(firstVisibleLine());
    const int rows = visibleLineCount();
    const std::size_t caretLine = m_text->lineOf(m_caret);
    for (int row = 0; row < rows; ++row)
        drawLine(painter, first + static_cast<std::size_t>(row), row * m_lineHeight, caretLine);
    // A wider line came into sight: the horizontal scroll bar reaches it now.
    if (m_widest > widest) updateScrollBars();
}

void OutputView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void OutputView::scrollContentsBy(int, int) { viewport()->update(); }

void OutputView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) resetMetrics();
}

// The caret and the keys.

void OutputView::noteSelectionChanged() {
    viewport()->update();
    if (QAccessible::isActive()) {
        const VisibleText shown = visibleText();
        const std::string_view bytes = m_text->bytes();
        QAccessibleTextSelectionEvent selection(this, static_cast<int>(shown.toTextOffset(bytes, selectionStart())),
                                                static_cast<int>(shown.toTextOffset(bytes, selectionEnd())));
        selection.setCursorPosition(static_cast<int>(shown.toTextOffset(bytes, m_caret)));
        QAccessible::updateAccessibility(&selection);
    }
}

void OutputView::moveCaret(std::size_t caret, bool extend) {
    setSelection(extend ? m_anchor : caret, caret);
    ensureCaretVisible();
}

void OutputView::moveToLine(std::ptrdiff_t lines, bool extend) {
    const std::size_t line = m_text->lineOf(m_caret);
    if (m_goalX < 0) m_goalX = xOf(lineSpan(line), m_caret);
    const auto last = static_cast<std::ptrdiff_t>(m_text->lineCount() - 1);
    const auto target =
        static_cast<std::size_t>(std::clamp(static_cast<std::ptrdiff_t>(line) + lines, std::ptrdiff_t{0}, last));
    const qreal goal = m_goalX;
    moveCaret(offsetAt(lineSpan(target), goal), extend);
    m_goalX = goal;
}

void OutputView::ensureCaretVisible() {
    const auto line = static_cast<int>(m_text->lineOf(m_caret));
    QScrollBar* vertical = verticalScrollBar();
    if (line < vertical->value()) {
        vertical->setValue(line);
    } else if (line >= vertical->value() + fullRows()) {
        vertical->setValue(line - fullRows() + 1);
    }
    const LineSpan span = lineSpan(static_cast<std::size_t>(line));
    const qreal x = xOf(span, m_caret);
    m_widest = std::max(m_widest, x + advance(' ', x));
    updateScrollBars();
    const qreal width = viewport()->width() - 2 * kMargin;
    QScrollBar* horizontal = horizontalScrollBar();
    if (x < scrollX()) {
        horizontal->setValue(static_cast<int>(std::floor(x / m_horizontalUnit)));
    } else if (x > scrollX() + width) {
        horizontal->setValue(static_cast<int>(std::ceil((x - width) / m_horizontalUnit)));
    }
    viewport()->update();
}

bool OutputView::event(QEvent* event) {
    // The pane's own keys come before the window's shortcuts, as an edit's do.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key == QKeySequence::Copy || key == QKeySequence::SelectAll || key == QKeySequence::MoveToStartOfDocument ||
            key == QKeySequence::MoveToEndOfDocument || key == QKeySequence::SelectStartOfDocument ||
            key == QKeySequence::SelectEndOfDocument) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void OutputView::keyPressEvent(QKeyEvent* event) {
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const std::size_t line = m_text->lineOf(m_caret);
    const qreal goal = m_goalX;
    m_goalX = -1;
    if (event == QKeySequence::Copy) {
        copy();
    } else if (event == QKeySequence::SelectAll) {
        selectAll();
    } else if (isEnter(event) || (event->key() == Qt::Key_Tab && control)) {
        // Enter never reaches the window's default button, and Ctrl+Tab types nothing in a read-only pane.
    } else {
        switch (event->key()) {
            case Qt::Key_Left:
                moveCaret(hasSelection() && !extend ? selectionStart() : m_text->previousPosition(m_caret), extend);
                break;
            case Qt::Key_Right:
                moveCaret(hasSelection() && !extend ? selectionEnd() : m_text->nextPosition(m_caret), extend);
                break;
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown: {
                m_goalX = goal;
                const int step = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down ? 1 : fullRows();
                const int lines = event->key() == Qt::Key_Up || event->key() == Qt::Key_PageUp ? -step : step;
                // A page moves the view with the caret, as an edit's does.
                if (step > 1) verticalScrollBar()->setValue(verticalScrollBar()->value() + lines);
                moveToLine(lines, extend);
                break;
            }
            case Qt::Key_Home:
                moveCaret(control ? 0 : lineSpan(line).from, extend);
                break;
            case Qt::Key_End:
                moveCaret(control ? m_text->size() : lineSpan(line).to, extend);
                break;
            default:
                m_goalX = goal;
                QAbstractScrollArea::keyPressEvent(event);
                return;
        }
    }
    event->accept();
}

void OutputView::mousePressEvent(QMouseEvent* event) {
    // The focus comes before the press that brought it: the press would undo the selection just made.
    if (m_clickGaveFocus || event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    m_goalX = -1;
    m_selecting = true;
    moveCaret(positionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void OutputView::mouseMoveEvent(QMouseEvent* event) {
    if (m_clickGaveFocus || !m_selecting || !(event->buttons() & Qt::LeftButton)) return;
    moveCaret(positionAt(event->position().toPoint()), true);
}

void OutputView::mouseReleaseEvent(QMouseEvent* event) {
    m_selecting = false;
    if (std::exchange(m_clickGaveFocus, false)) event->accept();
}

void OutputView::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click selects its line, the unit a result is made of.
    if (event->button() != Qt::LeftButton) return;
    const LineSpan span = lineSpan(m_text->lineOf(positionAt(event->position().toPoint())));
    setSelection(span.from, span.to);
}

void OutputView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    m_clickGaveFocus = event->reason() == Qt::MouseFocusReason;
    viewport()->update();
    emit focusGained();
}

void OutputView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void OutputView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

}  // namespace ravolin
