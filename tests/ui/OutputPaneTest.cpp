#include "ui/OutputPane.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>

namespace ravolin {
namespace {

// The slices of `text`, cut as a run cuts them.
QStringList slicesOf(const QString& text, qsizetype sliceChars) {
    QStringList slices;
    qsizetype from = 0;
    do {
        const qsizetype end = outputSliceEnd(text, from, sliceChars);
        slices << text.mid(from, end - from);
        if (end <= from) break;  // only an empty text gives one empty slice
        from = end;
    } while (from < text.size());
    return slices;
}

TEST(OutputSlices, cutAfterLineBreaksWithinReach_elseAtTheReachButNeverInsideAPair) {
    const QString emoji = QString::fromUtf8("😀");
    struct Case {
        const char* name;
        QString text;
        qsizetype sliceChars;
        QStringList slices;
    };
    const Case cases[] = {
        {"empty", "", 4, {""}},
        {"fits", "ab\ncd", 8, {"ab\ncd"}},
        {"after the last line break in reach", "ab\ncd\nefgh\nij", 8, {"ab\ncd\n", "efgh\nij"}},
        {"line longer than a slice", "abcdefghij\nklm", 4, {"abcd", "efgh", "ij\n", "klm"}},
        {"pair at the reach stays whole", "a" + emoji + emoji, 2, {"a", emoji, emoji}},
        {"line break as the last character", "abc\n", 4, {"abc\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(slicesOf(c.text, c.sliceChars), c.slices);
    }
}

TEST(OutputSlices, largeTextComesBackWhole) {
    QString text;
    for (int i = 0; i < 50000; ++i) text += QString::number(i) + (i % 7 ? QString::fromUtf8("行😀\n") : QString("x"));
    const QStringList slices = slicesOf(text, 1000);
    EXPECT_GT(slices.size(), 100);
    EXPECT_EQ(slices.join(QString()), text);
    for (const QString& slice : slices) {
        EXPECT_LE(slice.size(), 1000);
        EXPECT_FALSE(slice.back().isHighSurrogate());
    }
}

TEST(OutputSlices, fillingSliceBySlice_showsWhatOneSetWouldShow) {
    QPlainTextEdit pane;
    pane.setPlainText("previous\ncontent");
    const QString text = QString::fromUtf8("一行目\n\n三行目で長い行\n末尾");
    const QStringList slices = slicesOf(text, 5);
    ASSERT_GT(slices.size(), 2);
    for (qsizetype i = 0; i < slices.size(); ++i) fillOutputSlice(pane, slices[i], i == 0);
    EXPECT_EQ(pane.toPlainText(), text);
    EXPECT_EQ(pane.blockCount(), 4);
    EXPECT_FALSE(pane.document()->isUndoAvailable());

    fillOutputSlice(pane, "", true);
    EXPECT_EQ(pane.toPlainText(), "");
}

}  // namespace
}  // namespace ravolin
