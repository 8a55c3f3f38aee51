#include "ui/OutputView.h"

#include <gtest/gtest.h>

#include <random>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>

#include "tests/ui/DialogFixture.h"

namespace ravolin {
namespace {

// The lines of `text` as the index finds them.
std::vector<std::string> linesOf(const OutputText& text) {
    std::vector<std::string> lines;
    for (std::size_t line = 0; line < text.lineCount(); ++line) {
        EXPECT_LE(text.lineStart(line), text.lineEnd(line));
        lines.emplace_back(text.bytes().substr(text.lineStart(line), text.lineEnd(line) - text.lineStart(line)));
    }
    return lines;
}

// The line ends before each byte, counted one byte at a time.
std::vector<std::size_t> plainLineNumbers(const std::string& text) {
    std::vector<std::size_t> numbers;
    std::size_t line = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        numbers.push_back(line);
        if (i < text.size() && (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))))
            ++line;
    }
    return numbers;
}

SharedOutputText shared(std::string text, std::size_t blockBytes = OutputText::kBlockBytes) {
    return std::make_shared<OutputText>(std::move(text), blockBytes);
}

TEST(OutputSlices, cutAfterLineBreaksWithinReach_elseAtTheReachButNeverInsideAPair) {
    // The index's blocks cut the text anywhere; the lines come back whole whatever falls on a block's edge.
    struct Case {
        const char* name;
        std::string text;
        std::size_t blockBytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"empty", "", 4, {""}},
        {"fits", "ab\ncd", 8, {"ab", "cd"}},
        {"line breaks inside blocks", "ab\ncd\nefgh\nij", 8, {"ab", "cd", "efgh", "ij"}},
        {"line longer than a block", "abcdefghij\nklm", 4, {"abcdefghij", "klm"}},
        {"pair across a block's edge", "a😀😀", 2, {"a😀😀"}},
        {"line break as the last character", "abc\n", 4, {"abc", ""}},
        {"CR LF split across blocks", "abc\r\ndef\r\n", 4, {"abc", "def", ""}},
        {"CR LF at every edge", "\r\n\r\n\r\n", 1, {"", "", "", ""}},
        {"lone CR ends a line", "a\rb\r\rc\r", 3, {"a", "b", "", "c", ""}},
        {"double-byte at block edges", "行\r\n漢字😀\r\n終", 2, {"行", "漢字😀", "終"}},
        {"more than sixteen bytes a block",
         std::string(40, 'x') + "\r\n" + std::string(30, 'y') + "\r",
         33,
         {std::string(40, 'x'), std::string(30, 'y'), ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const OutputText text(c.text, c.blockBytes);
        EXPECT_EQ(linesOf(text), c.lines);
        const std::vector<std::size_t> numbers = plainLineNumbers(c.text);
        for (std::size_t i = 0; i <= c.text.size(); ++i) EXPECT_EQ(text.lineOf(i), numbers[i]) << "byte " << i;
        std::string joined;
        for (std::size_t i = 0; i < c.lines.size(); ++i) joined += (i ? "\n" : "") + c.lines[i];
        EXPECT_EQ(text.withLineEnds(0, text.size(), "\n"), joined);
    }
}

TEST(OutputSlices, largeTextComesBackWhole) {
    // Random text of line ends, ASCII and characters of two to four bytes, against a count byte by byte; the
    // caret's steps never land inside a character or a CR LF.
    const std::string pieces[] = {"a", "\r", "\n", "\r\n", "é", "行", "😀"};
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::string bytes;
        const int count = static_cast<int>(random() % 120);
        for (int i = 0; i < count; ++i) bytes += pieces[random() % std::size(pieces)];
        const OutputText text(bytes, 1 + random() % 40);
        const std::vector<std::size_t> numbers = plainLineNumbers(bytes);
        ASSERT_EQ(text.lineCount(), numbers.back() + 1) << bytes;
        for (std::size_t i = 0; i <= bytes.size(); ++i) ASSERT_EQ(text.lineOf(i), numbers[i]) << bytes << " @" << i;
        for (std::size_t line = 1; line < text.lineCount(); ++line) {
            const std::size_t start = text.lineStart(line);
            ASSERT_TRUE(numbers[start] == line && numbers[start - 1] == line - 1) << bytes << " line " << line;
        }
        std::size_t steps = 0;
        for (std::size_t at = 0; at < bytes.size(); at = text.nextPosition(at), ++steps) {
            ASSERT_EQ(text.characterStart(at), at) << bytes << " @" << at;
            ASSERT_EQ(text.previousPosition(text.nextPosition(at)), at) << bytes << " @" << at;
        }
        EXPECT_EQ(QString::fromUtf8(text.withLineEnds(0, bytes.size(), "\n")),
                  QString::fromUtf8(bytes).replace("\r\n", "\n").replace('\r', '\n'));
        EXPECT_LE(steps, bytes.size());
    }
}

TEST(OutputSlices, fillingSliceBySlice_showsWhatOneSetWouldShow) {
    OutputView pane;
    pane.setWindowText("previous\r\ncontent");
    const std::string text = "一行目\r\n\r\n三行目で長い行\r\n末尾";
    const SharedOutputText previous = pane.setContent(shared(text, 5));
    EXPECT_EQ(previous->bytes(), "previous\r\ncontent");
    EXPECT_EQ(pane.windowText(), text);
    EXPECT_EQ(pane.content()->lineCount(), 4u);
    EXPECT_EQ(pane.content()->bytes().data(), pane.content()->bytes().data());  // held, not copied again

    pane.setWindowText("");
    EXPECT_EQ(pane.windowText(), "");
    // The window's text comes back with CR LF, however its lines ended.
    pane.setWindowText("a\nb\rc\r\n");
    EXPECT_EQ(GetWindowText(&pane), "a\r\nb\r\nc\r\n");
}

// A shown view with `text` in blocks of 4 bytes, so that a few lines cross many of the index's edges.
class View : public ::testing::Test {
protected:
    void show(std::string text, QSize size = {300, 200}) {
        view.resize(size);
        view.setContent(shared(std::move(text), 4));
        view.show();
        view.activateWindow();
        view.setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    }
    static QString clipboard() { return QApplication::clipboard()->text(); }
    // A point just inside the left edge of the character at `offset`: where a click puts the caret before it.
    QPoint inside(std::size_t offset) const {
        const QRectF shown = view.characterRect(offset);
        return QPoint(static_cast<int>(shown.left()) + 1, static_cast<int>(shown.center().y()));
    }
    void keys(const std::vector<QKeyCombination>& combinations) {
        for (const QKeyCombination key : combinations) QTest::keyClick(&view, key.key(), key.keyboardModifiers());
    }

    OutputView view;
};

constexpr auto kShift = Qt::ShiftModifier;
constexpr auto kCtrl = Qt::ControlModifier;

TEST_F(View, keysMoveAndSelect_copyGivesLfLineEnds) {
    const std::string text = "ab\r\n行き\r\n\r\nlast😀";
    const std::string columns = "xxxx\r\n\r\nxxxxxx";
    struct Case {
        const char* name;
        const std::string& text;
        std::vector<QKeyCombination> keys;
        QString copied;
    };
    const Case cases[] = {
        {"Shift+Right over a CR LF",
         text,
         {kShift | Qt::Key_Right, kShift | Qt::Key_Right, kShift | Qt::Key_Right},
         "ab\n"},
        {"Shift+Down, line by line", text, {kShift | Qt::Key_Down, kShift | Qt::Key_Down}, "ab\n行き\n"},
        {"Down keeps its column past a short line",
         columns,
         {Qt::Key_End, kShift | Qt::Key_Down, kShift | Qt::Key_Down},
         "\n\nxxxx"},
        {"End, Shift+Left", text, {Qt::Key_Down, Qt::Key_End, kShift | Qt::Key_Left}, "き"},
        {"Shift+Up from the end", text, {kCtrl | Qt::Key_End, kShift | Qt::Key_Up}, "\nlast😀"},
        {"Ctrl+Shift+Home from the end",
         text,
         {kCtrl | Qt::Key_End, kCtrl | kShift | Qt::Key_Home},
         "ab\n行き\n\nlast😀"},
        {"Shift+End then Shift+Home", text, {Qt::Key_Down, kShift | Qt::Key_End, kShift | Qt::Key_Home}, ""},
        {"Shift+PgDn reaches the last line", text, {kShift | Qt::Key_PageDown}, "ab\n行き\n\n"},
        {"Shift+PgUp back to the first", text, {kCtrl | Qt::Key_End, kShift | Qt::Key_PageUp}, "\n行き\n\nlast😀"},
        {"Left ends a selection at its start", text, {kShift | Qt::Key_End, Qt::Key_Left, kShift | Qt::Key_Right}, "a"},
        {"Ctrl+A", text, {kCtrl | Qt::Key_A}, "ab\n行き\n\nlast😀"},
    };
    show(text, {300, 400});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.setContent(shared(c.text, 4));
        QApplication::clipboard()->setText("before");
        keys(c.keys);
        keys({kCtrl | Qt::Key_C});
        EXPECT_EQ(view.selectedText(), c.copied);
        EXPECT_EQ(clipboard(), c.copied.isEmpty() ? "before" : c.copied);
    }
    // Enter stays in the pane and changes nothing.
    view.selectAll();
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(view.selectedText(), QString::fromStdString("ab\n行き\n\nlast😀"));
}

TEST_F(View, copiesWhatItShows_plainTextWithLfLineEnds) {
    struct Case {
        const char* name;
        std::string text;
        std::string copied;  // of everything
    };
    const std::string huge = std::string(3 << 20, 'x') + "行";
    const Case cases[] = {
        {"CR LF across blocks", "abc\r\ndef\r\nghi", "abc\ndef\nghi"},
        {"double-byte at block edges", "行\r\n漢字😀\r\n", "行\n漢字😀\n"},
        {"lone CR", "a\rb", "a\nb"},
        {"one huge line", huge, huge},
    };
    show("");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.setContent(shared(c.text, 4));
        view.selectAllAndScrollCaret();
        view.copy();
        const QMimeData* copied = QApplication::clipboard()->mimeData();
        ASSERT_NE(copied, nullptr);
        EXPECT_EQ(copied->formats(), QStringList{"text/plain"});
        EXPECT_EQ(copied->text().toStdString(), c.copied);
    }
    // An empty result copies nothing; the context menu's copy is off then.
    QApplication::clipboard()->setText("before");
    view.setContent(shared(""));
    view.selectAll();
    std::unique_ptr<QMenu> menu(view.createContextMenu());
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_EQ(menu->actions()[0]->text(), "コピー");
    EXPECT_FALSE(menu->actions()[0]->isEnabled());
    EXPECT_EQ(menu->actions()[2]->text(), "すべてを選択");
    menu->actions()[0]->trigger();
    EXPECT_EQ(clipboard(), "before");

    view.setContent(shared("一\r\n二"));
    menu.reset(view.createContextMenu());
    menu->actions()[2]->trigger();
    menu.reset(view.createContextMenu());
    ASSERT_TRUE(menu->actions()[0]->isEnabled());
    menu->actions()[0]->trigger();
    EXPECT_EQ(clipboard(), "一\n二");
}

TEST_F(View, scrollsToTheEndOfLongTextAndLines_drawingWhatIsInSight) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "行 " + std::to_string(i) + "\r\n";
    text += std::string(2 << 20, 'w') + "末";
    show(text);
    const QImage top = view.viewport()->grab().toImage();
    QTest::keyClick(&view, Qt::Key_End, kCtrl);
    EXPECT_EQ(view.caret(), text.size());
    EXPECT_EQ(view.firstVisibleLine() + view.visibleLineCount(), 5001);
    EXPECT_GT(view.horizontalScrollBar()->maximum(), 1 << 20);  // the long line's width, about
    // The end of the long line is drawn where the caret is: its last character sits inside the viewport.
    const QRectF last = view.characterRect(text.size() - 3);
    EXPECT_TRUE(view.viewport()->rect().contains(inside(text.size() - 3))) << last.x() << "," << last.y();
    const QImage end = view.viewport()->grab().toImage();
    EXPECT_NE(top, end);
    EXPECT_EQ(view.positionAt(inside(text.size() - 3)), text.size() - 3);

    // Back at the top: the selection from a drag, line by line.
    QTest::keyClick(&view, Qt::Key_Home, kCtrl);
    const QPoint from = inside(text.find("1\r\n"));
    const QPoint to = inside(text.find("3\r\n"));
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, from);
    QMouseEvent drag(QEvent::MouseMove, to, view.viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(view.viewport(), &drag);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, to);
    EXPECT_EQ(view.selectedText(), QString::fromUtf8("1\n行 2\n行 "));
}

TEST_F(View, followsItsFont) {
    show("abc\r\ndef");
    const qreal before = view.characterRect(5).height();
    QFont larger = view.font();
    larger.setPointSize(larger.pointSize() * 3);
    view.setFont(larger);
    EXPECT_GT(view.characterRect(5).height(), 2 * before);
    EXPECT_EQ(view.characterRect(5).y(), view.characterRect(0).bottom());
}

TEST_F(View, screenReadersGetTheLinesInSightAndTheSelection) {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "行" + std::to_string(i) + (i % 3 ? "😀" : "") + "\r\n";
    show(text);
    view.setAccessibleName("置換後データ");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::EditableText);
    EXPECT_EQ(accessible->text(QAccessible::Name), "置換後データ");
    EXPECT_TRUE(accessible->state().readOnly);
    QAccessibleTextInterface* textInterface = accessible->textInterface();
    ASSERT_NE(textInterface, nullptr);

    view.verticalScrollBar()->setValue(100);
    const int rows = view.visibleLineCount();
    ASSERT_GT(rows, 2);
    ASSERT_LT(rows, 100);
    QStringList expected;
    for (int i = 100; i < 100 + rows; ++i)
        expected << QString::fromUtf8("行") + QString::number(i) + (i % 3 ? "😀" : "");
    EXPECT_EQ(textInterface->text(0, textInterface->characterCount()), expected.join('\n'));

    // The second line in sight, selected in the pane, is the reader's selection; and the other way round.
    const std::size_t from = text.find("行101");
    view.setSelection(from, text.find("\r\n", from));
    int start = -1, end = -1;
    ASSERT_EQ(textInterface->selectionCount(), 1);
    textInterface->selection(0, &start, &end);
    EXPECT_EQ(textInterface->text(start, end), expected[1]);
    EXPECT_EQ(textInterface->cursorPosition(), end);
    const int third = static_cast<int>(expected[0].size() + expected[1].size() + 2);
    textInterface->setSelection(0, third, third + static_cast<int>(expected[2].size()));
    EXPECT_EQ(view.selectedText(), expected[2]);
}

// A copy past the question's size asks first, "いいえ" the default; no saves the result instead.
class LargeCopy : public DialogFixture {};

TEST_F(LargeCopy, asksFirst_yesCopies_noOffersTheResultSave) {
    createAndShow();
    ConverterDialogTestAccess::setOutputLimits(*dialog, kOutputLimitBytes, 10);
    auto* output = control<OutputView>(kIdOutput);
    struct Case {
        const char* text;
        int answer;  // 0: nothing asked
        const char* copied;
        std::size_t saveDialogs;
    };
    const Case cases[] = {
        {"ten bytes.", 0, "ten bytes.", 0},
        {"eleven\r\nbyte", IDYES, "eleven\nbyte", 0},
        {"eleven\r\nbyte", IDNO, "before", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.copied);
        const std::size_t asked = messageBox.calls().size();
        dialog->SetDlgItemText(kIdOutput, c.text);
        QApplication::clipboard()->setText("before");
        if (c.answer) messageBox.scriptAnswer(c.answer);
        if (c.saveDialogs) resultFileChooser.scriptCancel();
        const std::size_t saves = resultFileChooser.calls().size();
        // The pane selects everything as it gains the focus.
        dialog->GetDlgItem(kIdTemplate)->setFocus();
        output->setFocus();
        QTest::keyClick(output, Qt::Key_C, kCtrl);
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(), c.copied);
        ASSERT_EQ(messageBox.calls().size() - asked, c.answer ? 1u : 0u);
        if (c.answer) {
            const MessageBoxCall& call = messageBox.calls().back();
            EXPECT_EQ(call.text,
                      "選択した範囲は 1 MB あります。クリップボードへのコピーには時間とメモリーがかかります。\r\n"
                      "コピーしますか？\r\n\r\n「いいえ」を選ぶと、代わりに変換結果をファイルに保存できます。");
            EXPECT_EQ(call.caption, "確認");
            EXPECT_EQ(call.type, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
        }
        EXPECT_TRUE(eventually([&] { return resultFileChooser.calls().size() == saves + c.saveDialogs; }));
    }
}

}  // namespace
}  // namespace ravolin
