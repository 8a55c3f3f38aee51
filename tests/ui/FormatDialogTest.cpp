#include "ui/FormatDialog.h"

#include <functional>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>

#include "conversion/Escaping.h"
#include "tests/ui/DialogFixture.h"
#include "ui/DialogTexts.h"

namespace ravolin {
namespace {

// Counter 1 "<n>" from 1 by 1, counter 2 "<h>"; array 1 "<a>" with two lines and a closing CR LF. The other
// slots have no token.
ExpansionInput exampleFields(std::int32_t loopCount = 1000) {
    ExpansionInput in;
    in.templateText = "<n>:<a>";
    in.loopCount = loopCount;
    in.counters[0] = {"<n>", 1, 1};
    in.counters[1] = {"<h>", 250, 3};
    for (std::size_t r = 2; r < kCounterCount; ++r) in.counters[r].token.clear();
    in.arrays[0] = {"<a>", "x\r\ny\r\n"};
    return in;
}

// The window's document showing `fields`.
Document documentOf(const ExpansionInput& fields) {
    Document document;
    document.window.templateText = fields.templateText;
    document.window.loopCount = fields.loopCount;
    for (std::size_t r = 0; r < kCounterCount; ++r) {
        const CounterInput& counter = fields.counters[r];
        document.record.counters[r] = {counter.token, counter.initialValue, counter.increment, counter.style};
    }
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        const ArrayInput& array = fields.arrays[i];
        document.record.arrays[i] = {array.token, array.valuesText, array.style};
    }
    return document;
}

QStringList itemsOf(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

QStringList textsOf(const char* const* first, const char* const* last) {
    QStringList texts;
    for (; first != last; ++first) texts << QString::fromUtf8(*first);
    return texts;
}

class FormatDialogTest : public DialogFixture {
protected:
    std::unique_ptr<FormatDialog> open(const ExpansionInput& fields) {
        return std::make_unique<FormatDialog>(nullptr, documentOf(fields), messageBox);
    }
    // The preview's lines, after the redraw that the last change scheduled.
    static QStringList previewLines(FormatDialog& format) {
        QCoreApplication::processEvents();
        return format.m_preview->toPlainText().split('\n');
    }
};

TEST_F(FormatDialogTest, controlsShowTheStylesAndGiveBackExactlyWhatWasChanged) {
    ExpansionInput stored = exampleFields();
    stored.counters[0].style = {.repeat = 0, .period = -3, .format = 99, .width = 99, .fill = 1};  // out of range
    stored.counters[1].style = {.repeat = 2, .period = 5, .format = kFormatOctal, .width = 3, .fill = 0};
    stored.counters[1].style.kind = kKindDate;
    stored.counters[1].style.start = "2027/04/01";
    stored.counters[1].style.pattern = "m/d";
    stored.arrays[0].style = {.repeat = 4, .end = kEndKeepLast};
    {
        const auto format = open(stored);
        EXPECT_EQ(format->windowTitle(), "書式と繰り返し");
        const FormatDialog::CounterRow& first = format->m_counterRows[0];
        EXPECT_EQ(first.token->text(), "<n>");
        EXPECT_TRUE(first.token->isReadOnly());
        // Out of range reads as the rule nearest to it.
        EXPECT_EQ(first.repeat->value(), 1);
        EXPECT_EQ(first.period->text(), "なし");
        EXPECT_EQ(first.format->currentText(), "10進");
        EXPECT_EQ(first.width->value(), 64);
        EXPECT_EQ(first.fill->currentText(), "空白");
        EXPECT_EQ(itemsOf(first.format), textsOf(std::begin(kFormatTexts), std::end(kFormatTexts)));
        EXPECT_EQ(itemsOf(first.fill), QStringList({"ゼロ", "空白"}));
        EXPECT_EQ(itemsOf(format->m_arrayRows[0].end), QStringList({"空にする", "先頭に戻る", "最後の行を繰り返す"}));
        EXPECT_EQ(format->m_arrayRows[0].repeat->value(), 4);
        EXPECT_EQ(format->m_arrayRows[0].end->currentIndex(), kEndKeepLast);
        // A slot without a token is off: its row can't be set. Letters always pad with blanks.
        EXPECT_FALSE(format->m_counterRows[2].width->isEnabled());
        EXPECT_FALSE(format->m_arrayRows[1].end->isEnabled());
        EXPECT_TRUE(first.fill->isEnabled());
        first.format->setCurrentIndex(kFormatLettersUpper);
        EXPECT_FALSE(first.fill->isEnabled());
    }
    // Rows left alone keep even their out-of-range values; a changed row stores what it shows.
    struct Case {
        const char* what;
        std::function<void(FormatDialog&)> change;
        std::function<void(ExpansionInput&)> expect;
    };
    const Case cases[] = {
        {"nothing", [](FormatDialog&) {}, [](ExpansionInput&) {}},
        {"width of a row out of range", [](FormatDialog& d) { d.m_counterRows[0].width->setValue(5); },
         [](ExpansionInput& s) {
             s.counters[0].style = {1, 0, 0, 5, 1};
         }},
        {"width", [](FormatDialog& d) { d.m_counterRows[1].width->setValue(8); },
         [](ExpansionInput& s) { s.counters[1].style.width = 8; }},
        {"fill", [](FormatDialog& d) { d.m_counterRows[1].fill->setCurrentIndex(1); },
         [](ExpansionInput& s) { s.counters[1].style.fill = 1; }},
        {"format", [](FormatDialog& d) { d.m_counterRows[1].format->setCurrentIndex(kFormatHexUpper); },
         [](ExpansionInput& s) { s.counters[1].style.format = kFormatHexUpper; }},
        {"repeat", [](FormatDialog& d) { d.m_counterRows[1].repeat->setValue(3); },
         [](ExpansionInput& s) { s.counters[1].style.repeat = 3; }},
        {"period", [](FormatDialog& d) { d.m_counterRows[1].period->setValue(0); },
         [](ExpansionInput& s) { s.counters[1].style.period = 0; }},
        {"array repeat", [](FormatDialog& d) { d.m_arrayRows[0].repeat->setValue(1); },
         [](ExpansionInput& s) { s.arrays[0].style.repeat = 1; }},
        {"array end", [](FormatDialog& d) { d.m_arrayRows[0].end->setCurrentIndex(kEndCycle); },
         [](ExpansionInput& s) { s.arrays[0].style.end = kEndCycle; }},
        {"kind", [](FormatDialog& d) { d.m_counterRows[0].kind->setCurrentIndex(kKindDate); },
         [](ExpansionInput& s) { s.counters[0].style = {1, 0, 0, 64, 1, kKindDate}; }},
        {"start with a time",
         [](FormatDialog& d) {
             d.m_dateRows[1].start->setDateTime(QDateTime({2027, 4, 1}, {9, 30}, Qt::UTC));
         },
         [](ExpansionInput& s) { s.counters[1].style.start = "2027/04/01 09:30"; }},
        {"start at a second",
         [](FormatDialog& d) {
             d.m_dateRows[1].start->setDateTime(QDateTime({1, 1, 1}, {0, 0, 5}, Qt::UTC));
         },
         [](ExpansionInput& s) { s.counters[1].style.start = "0001/01/01 00:00:05"; }},
        {"unit", [](FormatDialog& d) { d.m_dateRows[1].unit->setCurrentIndex(kUnitBusinessDay); },
         [](ExpansionInput& s) { s.counters[1].style.unit = kUnitBusinessDay; }},
        {"pattern typed", [](FormatDialog& d) { d.m_dateRows[1].pattern->setEditText("d日"); },
         [](ExpansionInput& s) { s.counters[1].style.pattern = "d日"; }},
        {"days off", [](FormatDialog& d) { d.m_dateRows[1].daysOff->setText("12/31 01/02"); },
         [](ExpansionInput& s) { s.counters[1].style.daysOff = "12/31 01/02"; }},
        {"a decimal's start, step and places",
         [](FormatDialog& d) {
             d.m_counterRows[1].kind->setCurrentIndex(kKindDecimal);
             d.m_valueRows[1].start->setText("-1.5");
             d.m_valueRows[1].step->setText("0.25");
             d.m_valueRows[1].places->setValue(3);
         },
         [](ExpansionInput& s) {
             CounterStyle& style = s.counters[1].style;
             style.kind = kKindDecimal, style.start = "-1.5", style.step = "0.25", style.places = 3;
         }},
        {"a decimal left at the start it shows keeps the stored text",
         [](FormatDialog& d) { d.m_counterRows[1].kind->setCurrentIndex(kKindDecimal); },
         [](ExpansionInput& s) { s.counters[1].style.kind = kKindDecimal; }},
        {"a random range, uniqueness and seed",
         [](FormatDialog& d) {
             d.m_counterRows[0].kind->setCurrentIndex(kKindRandom);
             d.m_valueRows[0].minimum->setValue(10);
             d.m_valueRows[0].maximum->setValue(-10);
             d.m_valueRows[0].unique->setChecked(true);
             d.m_valueRows[0].seed->setText("18446744073709551615");
         },
         [](ExpansionInput& s) {
             s.counters[0].style = {1, 0, 0, 64, 1, kKindRandom};
             s.counters[0].style.minimum = 10, s.counters[0].style.maximum = -10, s.counters[0].style.unique = 1;
             s.counters[0].style.seed = "18446744073709551615";
         }},
        {"an array's order and seed",
         [](FormatDialog& d) {
             d.m_arrayRows[0].order->setCurrentIndex(kOrderShuffled);
             d.m_arrayRows[0].seed->setText("42");
         },
         [](ExpansionInput& s) { s.arrays[0].style.order = kOrderShuffled, s.arrays[0].style.seed = "42"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto format = open(stored);
        c.change(*format);
        ExpansionInput expected = stored;
        c.expect(expected);
        EXPECT_EQ(format->document(), documentOf(expected));
    }
}

// Each escape is read back on opening and stored by OK, and the preview writes the values as it escapes them.
TEST_F(FormatDialogTest, arrayEscapeIsReadBack_storedWhenChanged_andShownInThePreview) {
    struct Case {
        std::int32_t escape;
        const char* values;  // of array 1, three passes of "<a>"
        QStringList preview;
    };
    const Case cases[] = {
        {kEscapeNone, "O'Brien\r\n\r\n<x>", {"O'Brien", "", "<x>"}},
        {kEscapeSqlText, "O'Brien\r\n\r\n'", {"O''Brien", "", "''"}},
        {kEscapeSqlLiteral, "O'Brien\r\n\r\n''", {"'O''Brien'", "NULL", "''''''"}},
        {kEscapeCsv, "Tokyo, Japan\r\n\"q\"\r\n a", {"\"Tokyo, Japan\"", "\"\"\"q\"\"\"", "\" a\""}},
        {kEscapeHtml, "O'Brien & <b>\r\n\"\r\n", {"O&#39;Brien &amp; &lt;b&gt;", "&quot;", ""}},
        {kEscapeJson, "a\"b\\c\r\n\t\r\n", {"a\\\"b\\\\c", "\\t", ""}},
        {kEscapeUrl, "O'Brien 東\r\n~-._\r\n", {"O%27Brien%20%E6%9D%B1", "~-._", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.escape);
        ExpansionInput fields = exampleFields(3);
        fields.templateText = "<a>";
        fields.arrays[0].valuesText = c.values;
        ExpansionInput stored = fields;
        stored.arrays[0].style.escape = c.escape;
        const auto shown = open(stored);
        const FormatDialog::ArrayRow& row = shown->m_arrayRows[0];
        EXPECT_EQ(itemsOf(row.escape),
                  QStringList({"なし", "SQL 文字列", "SQL リテラル (空は NULL)", "CSV", "HTML", "JSON", "URL"}));
        EXPECT_EQ(row.escape->currentIndex(), c.escape);
        EXPECT_EQ(previewLines(*shown), c.preview);
        EXPECT_EQ(shown->document(), documentOf(stored));

        const auto chosen = open(fields);
        chosen->m_arrayRows[0].escape->setCurrentIndex(c.escape);
        EXPECT_EQ(previewLines(*chosen), c.preview);
        EXPECT_EQ(chosen->document(), documentOf(stored));
    }
    // One the program doesn't know shows as none and, left alone, stays as it was stored.
    ExpansionInput unknown = exampleFields();
    unknown.arrays[0].style.escape = kEscapeCount;
    const auto format = open(unknown);
    EXPECT_EQ(format->m_arrayRows[0].escape->currentIndex(), kEscapeNone);
    EXPECT_EQ(format->document(), documentOf(unknown));
}

// A date counter: its fields on only in its row, what can't be read marked and said at once, the preview
// in business days past a public holiday.
// Each kind shows only its own fields; what can't be read is marked and said at once; "新しいシード" draws one.
TEST_F(FormatDialogTest, valueRowsShowTheirKindsFields_markWhatCantBeRead_andDrawSeeds) {
    const auto format = open(exampleFields(3));
    const FormatDialog::ValueRow& row = format->m_valueRows[0];
    struct KindCase {
        int kind;
        bool decimal, random, seed;
    };
    for (const KindCase c : {KindCase{kKindDecimal, true, false, false},
                             {kKindRandom, false, true, true},
                             {kKindUuid, false, false, true},
                             {kKindInteger, false, false, false}}) {
        SCOPED_TRACE(c.kind);
        format->m_counterRows[0].kind->setCurrentIndex(c.kind);
        EXPECT_EQ(!row.start->isHidden() && !row.places->isHidden(), c.decimal);
        EXPECT_EQ(!row.minimum->isHidden() && !row.unique->isHidden(), c.random);
        EXPECT_EQ(!row.seed->isHidden() && !row.newSeed->isHidden(), c.seed);
        EXPECT_EQ(format->m_valuesBox->isHidden(), c.kind == kKindInteger);
    }
    format->m_counterRows[0].kind->setCurrentIndex(kKindDecimal);
    row.step->setText("1.2.3");
    FormatDialog::ArrayRow& array = format->m_arrayRows[0];
    EXPECT_FALSE(array.seed->isEnabled());  // as written: no seed to draw from
    array.order->setCurrentIndex(kOrderDrawn);
    array.seed->setText("-1");
    EXPECT_EQ(format->m_valueNotes->text().toStdString(),
              "[数値1] 増分: 「1.2.3」は小数（符号、数字、小数点と数字。数字は 18 桁まで）として読めないため 0 "
              "とします。\n"
              "[配列1] シード: 「-1」は 0～18446744073709551615 "
              "の整数として読めないため、実行のたびに新しいシードを使います。");
    EXPECT_FALSE(row.step->toolTip().isEmpty());
    row.step->setText("-0.25");
    array.newSeed->click();
    EXPECT_TRUE(format->m_valueNotes->text().isEmpty());
    bool read = false;
    EXPECT_NE(array.seed->text().toULongLong(&read), 0u);
    EXPECT_TRUE(read);
}

TEST_F(FormatDialogTest, dateRowsTakeTheirFields_markWhatCantBeRead_andPreviewTheDates) {
    ExpansionInput stored = exampleFields(3);
    stored.templateText = "<n>";
    stored.counters[0].style.kind = kKindDate;
    stored.counters[0].style.start = "2027/13/45";
    stored.counters[0].style.unit = kUnitBusinessDay;
    stored.counters[0].style.pattern = "m/d(aaa)";
    stored.counters[0].style.daysOff = "12/29 xx 13/40";
    const auto format = open(stored);
    const FormatDialog::DateRow& date = format->m_dateRows[0];
    EXPECT_TRUE(date.start->isEnabled());
    EXPECT_FALSE(format->m_counterRows[0].format->isEnabled());
    EXPECT_FALSE(format->m_counterRows[0].fill->isEnabled());
    EXPECT_FALSE(format->m_dateRows[1].unit->isEnabled());  // an integer counter
    EXPECT_EQ(itemsOf(date.unit), textsOf(std::begin(kUnitTexts), std::end(kUnitTexts)));
    EXPECT_EQ(date.pattern->currentText(), "m/d(aaa)");
    EXPECT_EQ(format->m_dateNotes->text().toStdString(),
              "[日付1] 開始: 保存されていた「2027/13/45」は日時として読めないため、2000/01/01 00:00:00 "
              "から数えます。\n"
              "[日付1] 休日: 「xx」は日付（yyyy/mm/dd か mm/dd）として読めないため使いません。\n"
              "[日付1] 休日: 「13/40」は日付（yyyy/mm/dd か mm/dd）として読めないため使いません。");
    EXPECT_FALSE(date.start->toolTip().isEmpty());
    EXPECT_FALSE(date.daysOff->toolTip().isEmpty());
    EXPECT_EQ(previewLines(*format), QStringList({"1/3(月)", "1/4(火)", "1/5(水)"}));

    date.start->setDateTime(QDateTime({2027, 4, 29}, {0, 0}, Qt::UTC));  // 昭和の日, then Golden Week
    date.daysOff->setText("05/06");
    EXPECT_TRUE(format->m_dateNotes->text().isEmpty());
    EXPECT_TRUE(date.start->toolTip().isEmpty() && date.daysOff->toolTip().isEmpty());
    EXPECT_EQ(previewLines(*format), QStringList({"4/30(金)", "5/7(金)", "5/10(月)"}));
    format->m_counterRows[0].kind->setCurrentIndex(kKindInteger);
    EXPECT_FALSE(date.start->isEnabled());
    EXPECT_EQ(previewLines(*format), QStringList({"1", "2", "3"}));
}

TEST_F(FormatDialogTest, previewShowsTwentyPassesAndTheSizeLineTheWholeOutput_afterEachChange) {
    const auto format = open(exampleFields());
    QStringList lines = previewLines(*format);
    ASSERT_EQ(lines.size(), 20);
    EXPECT_EQ(lines.mid(0, 4), QStringList({"1:x", "2:y", "3:", "4:"}));
    EXPECT_EQ(lines.back(), "20:");
    // 2,893 digits, 1,000 colons, "x" and "y", 999 CR LF.
    EXPECT_EQ(format->m_size->text(), "ループ回数 1,000 回: 全体 1,000 行、5,893 バイト");

    format->m_counterRows[0].format->setCurrentIndex(kFormatHexUpper);
    format->m_counterRows[0].width->setValue(3);
    format->m_counterRows[0].repeat->setValue(2);
    format->m_arrayRows[0].end->setCurrentIndex(kEndCycle);
    lines = previewLines(*format);
    EXPECT_EQ(lines.mid(0, 5), QStringList({"001:x", "001:y", "002:", "002:x", "003:y"}));
    EXPECT_EQ(lines.back(), "00A:y");
    EXPECT_EQ(format->m_size->text(), "ループ回数 1,000 回: 全体 1,000 行、6,665 バイト");

    struct Case {
        const char* what;
        std::string templateText;
        std::int32_t loopCount;
        QString lastPreviewLine;
        QString size;
        std::string values = "x\r\ny\r\n";  // of array 1
    };
    const Case cases[] = {
        {"no passes", "<n>", 0, "", "ループ回数 0 回: 全体 0 行、0 バイト"},
        {"a CR ending one value and an LF starting the next", "<a><a>", 1, "", "ループ回数 1 回: 全体 2 行、6 バイト",
         "\nx\r"},
        {"exactly what the pane takes", std::string(4, 'z'), 178956971, QString(4, 'z'),
         "ループ回数 178,956,971 回: 全体 178,956,971 行、1,073,741,824 バイト"},
        {"more than the preview shows", std::string(10000, 'z'), 10, "…（プレビューはここまで）",
         "ループ回数 10 回: 全体 10 行、100,018 バイト"},
        {"more than the pane takes", std::string(1000, 'z') + "\r\n", 1100000, "",
         "ループ回数 1,100,000 回: 全体 2,200,000 行、1,104,399,998 バイト（出力欄の上限 1024 MB "
         "を超えます。「結果をファイルに保存」を使ってください）"},
        // Every decimal length from 1 to 2147483647, reckoned by hand.
        {"the largest loop count", "<n>", INT32_MAX, "20",
         "ループ回数 2,147,483,647 回: 全体 2,147,483,647 行、24,658,692,661 バイト（出力欄の上限 1024 MB "
         "を超えます。「結果をファイルに保存」を使ってください）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExpansionInput fields = exampleFields(c.loopCount);
        fields.templateText = c.templateText;
        fields.arrays[0].valuesText = c.values;
        const auto other = open(fields);
        EXPECT_EQ(previewLines(*other).back(), c.lastPreviewLine);
        EXPECT_EQ(other->m_size->text(), c.size);
    }
    // Values holding later tokens multiply: one pass would be 286 MB. Neither line waits for it.
    ExpansionInput multiplying = exampleFields(3);
    multiplying.templateText = "<a>";
    const char* tokens[] = {"<a>", "<b>", "<c>", "<d>"};
    for (std::size_t i = 0; i < 4; ++i) {
        std::string value;
        for (int k = 0; k < 65; ++k) value += i < 3 ? tokens[i + 1] : "xxxxxxxxxxxxxxxx";
        multiplying.arrays[i] = {tokens[i], value, {1, kEndKeepLast}};
    }
    const auto refused = open(multiplying);
    EXPECT_EQ(previewLines(*refused), QStringList({"…（プレビューはここまで）"}));
    EXPECT_EQ(refused->m_size->text(),
              "ループ回数 3 回: 全体 16,777,216 バイト超（値に置換文字列が含まれるため、これ以上は数えていません）");
    // A value holding a later token at the largest loop count: the passes are run only as far as the work budget.
    ExpansionInput holding = exampleFields(INT32_MAX);
    holding.templateText = "<a>";
    holding.arrays[0].valuesText = "<b>";
    holding.arrays[1] = {"<b>", "xy"};
    const auto uncounted = open(holding);
    EXPECT_EQ(previewLines(*uncounted).mid(0, 2), QStringList({"xy", ""}));
    EXPECT_EQ(uncounted->m_size->text(),
              "ループ回数 2,147,483,647 回: "
              "全体の大きさは数えていません（値に置換文字列が含まれ、数えるのに時間がかかりすぎるため）");
}

TEST_F(FormatDialogTest, passesForArrays_takeTheLongestListTimesItsRepeat) {
    struct Case {
        const char* values;
        std::int32_t repeat;
        std::uint64_t passes;
    };
    const Case cases[] = {
        {"", 1, 0},     {"a", 1, 1},           {"a\r\n", 1, 1},  {"a\r\n\r\n", 1, 2},
        {"\r\n", 1, 1}, {"a\r\nb\r\nc", 3, 9}, {"a\r\nb", 0, 2}, {"a\r\nb", INT32_MAX, 2u * INT32_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.values);
        ExpansionInput in = exampleFields();
        in.arrays[0] = {"<a>", c.values, {c.repeat}};
        EXPECT_EQ(passesForArrays(in), c.passes);
    }
    ExpansionInput off = exampleFields();
    off.arrays[0].token.clear();  // an array without a token counts for nothing
    off.arrays[5] = {"<f>", "1"};
    EXPECT_EQ(passesForArrays(off), 1u);
}

TEST_F(FormatDialogTest, loopButtonFollowsTheLongestArray_orWarnsAndLeavesTheLoopCount) {
    ExpansionInput fields = exampleFields();
    fields.arrays[3] = {"<d>", "1\r\n2\r\n3"};
    const auto format = open(fields);
    EXPECT_EQ(format->m_fitLoop->text(), "ループ回数を配列に合わせる");
    format->m_arrayRows[0].repeat->setValue(2);  // "x", "y" twice each beats three lines
    QTest::mouseClick(format->m_fitLoop, Qt::LeftButton);
    EXPECT_EQ(format->loopCount(), std::optional<std::int32_t>(4));
    EXPECT_EQ(format->m_size->text(), "ループ回数 4 回: 全体 4 行、18 バイト");
    EXPECT_TRUE(messageBox.calls().empty());

    struct Case {
        const char* what;
        std::function<void(ExpansionInput&)> fields;  // array 1 "x", "y"; array 4 "1", "2", "3"
        std::int32_t repeat;                          // of array 4
        std::optional<std::int32_t> loopCount;
        const char* message;  // the warning, if any
    };
    const Case cases[] = {
        {"too many for the field", [](ExpansionInput&) {}, 1000000000, std::nullopt,
         "配列に合わせたループ回数は 3,000,000,000 回ですが、ループ回数の欄には 2,147,483,647 "
         "回までしか入りません。\r\nループ回数は変更していません。"},
        {"no array with values", [](ExpansionInput& in) { in.arrays[0].valuesText = in.arrays[3].valuesText = ""; }, 1,
         std::nullopt,
         "置換文字列と値のある配列がないため、ループ回数を合わせられません。\r\nループ回数は変更していません。"},
        {"exactly the largest count",
         [](ExpansionInput& in) {
             in.templateText = "<d>";  // a counter's size would be counted pass by pass
             in.arrays[3].valuesText = "1";
         },
         INT32_MAX, INT32_MAX, nullptr},
        {"a longer array without a token", [](ExpansionInput& in) { in.arrays[3].token.clear(); }, 1, 2, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExpansionInput input = fields;
        c.fields(input);
        const auto other = open(input);
        other->m_arrayRows[3].repeat->setValue(c.repeat);
        const std::size_t before = messageBox.calls().size();
        if (c.message) messageBox.scriptAnswer(IDOK);
        other->m_fitLoop->click();
        EXPECT_EQ(other->loopCount(), c.loopCount);
        ASSERT_EQ(messageBox.calls().size(), before + (c.message ? 1 : 0));
        if (!c.message) continue;
        EXPECT_EQ(messageBox.calls().back().text, c.message);
        EXPECT_EQ(messageBox.calls().back().caption, "警告");
        EXPECT_EQ(messageBox.calls().back().type, MB_OK | MB_ICONEXCLAMATION);
    }
}

// A screen reader names each box by its slot and its column's heading, as the dialog shows them.
TEST_F(FormatDialogTest, everyBoxHasAUniqueAccessibleNameOfItsSlotAndColumn) {
    const auto format = open(exampleFields());
    QStringList names;
    for (const QWidget* box : format->findChildren<QWidget*>()) {
        // The editors inside a combo or a date field are named by it.
        const bool inner =
            qobject_cast<const QLineEdit*>(box) &&
            (qobject_cast<const QComboBox*>(box->parent()) || qobject_cast<const QAbstractSpinBox*>(box->parent()));
        if (inner || (!qobject_cast<const QComboBox*>(box) && !qobject_cast<const QAbstractSpinBox*>(box) &&
                      !qobject_cast<const QCheckBox*>(box) && !qobject_cast<const QLineEdit*>(box)))
            continue;
        EXPECT_FALSE(box->accessibleName().isEmpty()) << box->metaObject()->className();
        names << box->accessibleName();
    }
    EXPECT_EQ(names.size(), 5 * 7 + 5 * 5 + 5 * 8 + 9 * 6 + 1);
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size()) << names.join('|').toStdString();
    struct Case {
        const QWidget* box;
        const char* name;
    };
    const Case cases[] = {
        {format->m_counterRows[0].width, "[数値1] 桁数"},
        {format->m_counterRows[0].format, "[数値1] 書式"},
        {format->m_counterRows[2].fill, "[数値3] 埋める文字"},
        {format->m_counterRows[4].period, "[数値5] 周期"},
        {format->m_counterRows[1].repeat, "[数値2] 繰り返し"},
        {format->m_arrayRows[8].repeat, "[配列9] 繰り返し"},
        {format->m_arrayRows[0].end, "[配列1] 行が尽きたら"},
        {format->m_counterRows[3].kind, "[数値4] 種類"},
        {format->m_dateRows[0].start, "[日付1] 開始"},
        {format->m_dateRows[1].unit, "[日付2] 単位"},
        {format->m_dateRows[2].pattern, "[日付3] 書式"},
        {format->m_dateRows[4].daysOff, "[日付5] 休日"},
        {format->m_arrayRows[2].order, "[配列3] 順序"},
        {format->m_arrayRows[8].escape, "[配列9] エスケープ"},
        {format->m_arrayRows[0].newSeed, "[配列1] 新しいシード"},
        {format->m_arrayChoice, "配列"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.box->accessibleName().toStdString(), c.name);
}

TEST_F(FormatDialogTest, keyboardReachesEveryRowAndEnterAndEscEndIt) {
    for (const auto& [key, result] :
         {std::pair{Qt::Key_Return, QDialog::Accepted}, {Qt::Key_Escape, QDialog::Rejected}}) {
        ExpansionInput fields = exampleFields();
        fields.arrays[3] = {"<d>", "1"};
        const auto format = open(fields);
        format->show();
        format->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(format.get()));
        const struct {
            Qt::Key key;
            QWidget* target;
        } mnemonics[] = {{Qt::Key_W, format->m_counterRows[0].width},  {Qt::Key_I, format->m_counterRows[0].fill},
                         {Qt::Key_M, format->m_counterRows[0].format}, {Qt::Key_R, format->m_counterRows[0].repeat},
                         {Qt::Key_D, format->m_counterRows[0].period}, {Qt::Key_E, format->m_arrayRows[0].repeat},
                         {Qt::Key_N, format->m_arrayRows[0].end},      {Qt::Key_V, format->m_preview},
                         {Qt::Key_O, format->m_arrayRows[0].order},    {Qt::Key_C, format->m_arrayRows[0].escape},
                         {Qt::Key_A, format->m_arrayChoice},           {Qt::Key_K, format->m_counterRows[0].kind}};
        for (const auto& m : mnemonics) {
            QTest::keyClick(QApplication::focusWidget(), m.key, Qt::AltModifier);
            EXPECT_EQ(QApplication::focusWidget(), m.target) << m.key;
        }
        // The date fields take theirs once the first counter is a date.
        format->m_counterRows[0].kind->setCurrentIndex(kKindDate);
        const FormatDialog::DateRow& date = format->m_dateRows[0];
        for (const auto& [dateKey, target] : {std::pair<Qt::Key, QWidget*>{Qt::Key_S, date.start},
                                              {Qt::Key_U, date.unit},
                                              {Qt::Key_T, date.pattern},
                                              {Qt::Key_H, date.daysOff}}) {
            QTest::keyClick(QApplication::focusWidget(), dateKey, Qt::AltModifier);
            EXPECT_EQ(QApplication::focusWidget(), target) << dateKey;
        }
        // The box under the arrays follows the array row Tab reaches, and is reached after the last row.
        format->m_arrayRows[0].end->setFocus();
        for (QWidget* next :
             {static_cast<QWidget*>(format->m_arrayRows[3].repeat), static_cast<QWidget*>(format->m_arrayRows[3].end),
              static_cast<QWidget*>(format->m_arrayChoice), static_cast<QWidget*>(format->m_arrayRows[3].order),
              static_cast<QWidget*>(format->m_arrayRows[3].escape)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_EQ(QApplication::focusWidget(), next);
        }
        EXPECT_EQ(format->m_arrayChoice->currentText(), "配列4  <d>");
        EXPECT_TRUE(format->m_arrayRows[0].escape->isHidden());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_E, Qt::AltModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget(), format->m_arrayRows[0].escape);
        // Tab walks a row left to right, past its read-only token, then on to the next row.
        format->m_counterRows[0].period->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), format->m_counterRows[1].kind);
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_TRUE(format->isHidden());
        EXPECT_EQ(format->result(), result);
    }
}

// The window hands its fields to the dialog and takes back, on OK only, the styles and the loop count.
TEST_F(FormatDialogTest, okStoresIntoTheWindowAndMarksItUnsaved_cancelChangesNothing) {
    writeSettingsWithFont("Loop=2\r\n", "[Arrangement]\r\nValue1=a,b,c\r\n");
    for (const int ending : {QDialog::Rejected, QDialog::Accepted}) {
        SCOPED_TRACE(ending);
        create();
        onModal = [ending](QDialog& modal) {
            auto& shown = dynamic_cast<FormatDialog&>(modal);
            EXPECT_EQ(shown.m_arrayRows[0].token->text(), "＜配列1＞");
            shown.m_counterRows[0].width->setValue(4);
            shown.m_arrayRows[0].repeat->setValue(5);
            shown.m_fitLoop->click();
            return ending;
        };
        dialog->GetMenuItem(kCmdFormatSettings)->trigger();
        ASSERT_EQ(modalRuns.back(), "書式と繰り返し");
        const bool ok = ending == QDialog::Accepted;
        const Document shown = dialog->documentShown();
        EXPECT_EQ(shown.record.counters[0].style.width, ok ? 4 : 0);
        EXPECT_EQ(shown.record.arrays[0].style.repeat, ok ? 5 : 1);
        EXPECT_EQ(dialog->GetDlgItemText(kIdLoopCount), ok ? "15" : "2");
        EXPECT_EQ(dialog->unsaved(), ok ? 1 : 0);
    }
}

}  // namespace
}  // namespace ravolin
