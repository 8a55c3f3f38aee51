#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>

#include "tests/ui/DialogFixture.h"
#include "ui/StyleSummary.h"
#include "ui/controls/TabControl.h"

namespace ravolin {
namespace {

class Pages : public DialogFixture {
protected:
    void SetUp() override {
        writeSettingsWithFont("", "[Arrangement]\r\nValue1=a,b\r\n");
        createAndShow();
    }

    // The page that is shown, or nullptr.
    const QWidget* shownPage() const {
        const QWidget* shown = nullptr;
        int count = 0;
        if (dialog->numericPage().isVisible()) shown = &dialog->numericPage(), ++count;
        for (const ArrayPage& page : dialog->arrayPages()) {
            if (page.isVisible()) shown = &page, ++count;
        }
        EXPECT_LE(count, 1);
        return shown;
    }

    std::vector<QWidget*> pageEdits(PageDialog& page) const { return page.tabStops(); }
};

TEST_F(Pages, choosingATab_showsItsPage) {
    QTabBar* bar = dialog->tabControl()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(dialog->currentTab(), 1);
    EXPECT_EQ(shownPage(), &dialog->arrayPages()[0]);
    for (int tab = 9; tab >= 0; --tab) {
        bar->setCurrentIndex(tab);
        EXPECT_EQ(dialog->currentTab(), tab);
        const QWidget* expected = tab == 0 ? static_cast<const QWidget*>(&dialog->numericPage())
                                           : &dialog->arrayPages()[static_cast<std::size_t>(tab - 1)];
        EXPECT_EQ(shownPage(), expected) << "tab " << tab;
    }
}

// Every setting of a job goes to its control and comes back from it unchanged; a field that already reads as its
// value keeps the text typed there, and typing a value another way is no change to save.
TEST_F(Pages, aDocumentShownIsTheDocumentReadBack_andFieldsReadingAsTheValueKeepTheirText) {
    Document document;
    document.window = {.loopCount = 12,
                       .beep = 1,
                       .tray = 1,
                       .autoSave = 1,
                       .templateText = "<c1>\r\n<a9>",
                       .font = "-16,0,0,0,700,0,0,0,128,0,0,0,0,IPAGothic",
                       .shape = {"[", ",\r\n", "]"}};
    for (std::size_t r = 0; r < kCounterCount; ++r) {
        const auto n = static_cast<std::int32_t>(r);
        document.record.counters[r] = {"<c" + std::to_string(r + 1) + ">", 7 - n, n - 2, {n + 1, n, n + 1, n, n % 2}};
    }
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        const auto n = static_cast<std::int32_t>(i);
        document.record.arrays[i] = {"<a" + std::to_string(i + 1) + ">", "v\r\n" + std::to_string(i), {n + 1, n % 3}};
    }
    dialog->showDocument(document);
    EXPECT_EQ(dialog->documentShown(), document);
    EXPECT_EQ(dialog->styleSummaryShown(0, 1).toStdString(), "1桁・空白・16進大・2回ずつ・周期1");
    EXPECT_EQ(dialog->styleSummaryShown(9).toStdString(), "9回ずつ・最後の行を繰り返す");
    EXPECT_TRUE(dialog->GetMenuItem(kCmdToggleBeep)->isChecked());
    EXPECT_TRUE(dialog->IsDlgButtonChecked(kIdAutoSave));
    EXPECT_EQ(dialog->editorFont().family(), "IPAGothic");

    dialog->OnSaveSettings();
    ASSERT_EQ(dialog->unsaved(), 0);
    dialog->SetDlgItemText(kIdLoopCount, " 012");
    dialog->numericPage().SetDlgItemText(numericInitialId(0), "+7");  // not a number: reads as 0
    dialog->numericPage().SetDlgItemText(numericIncrementId(0), "-02");
    EXPECT_TRUE(dialog->fieldsChangedSinceSave());
    dialog->numericPage().SetDlgItemText(numericInitialId(0), "007");
    EXPECT_FALSE(dialog->fieldsChangedSinceSave());
    dialog->showDocument(document);
    EXPECT_EQ(dialog->GetDlgItemText(kIdLoopCount), " 012");
    EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericInitialId(0)), "007");
    EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericIncrementId(0)), "-02");
}

// The pages' line names each kind by what it uses, and leaves out what it doesn't.
TEST(StyleSummary, namesEachKindByWhatItUses) {
    const auto counter = [](std::int32_t kind, std::int32_t format, std::int32_t width, std::int32_t fill) {
        CounterStyle style{.format = format, .width = width, .fill = fill, .kind = kind};
        style.start = "-1.5", style.step = "0.25", style.places = 2, style.minimum = 10, style.maximum = 1;
        return style;
    };
    CounterStyle dated = counter(kKindDate, kFormatHexUpper, 8, 0);
    dated.start = "2027/04/28", dated.unit = kUnitBusinessDay, dated.pattern = "m/d(aaa)";
    CounterStyle drawn = counter(kKindRandom, kFormatKanji, 0, 0);
    drawn.unique = 1, drawn.seed = "42";
    const struct {
        CounterStyle style;
        const char* summary;
    } counters[] = {
        {dated, "日付・2027/04/28から・営業日・m/d(aaa)・8桁"},
        {counter(kKindDecimal, kFormatOctal, 6, 0), "小数・-1.5から・0.25ずつ・小数部2桁・6桁・ゼロ"},
        {drawn, "乱数・1～10・重複なし・シード42・漢数字位取り"},
        {counter(kKindUuid, kFormatHexUpper, 0, 0), "UUID・16進大"},
        {counter(kKindInteger, kFormatKanji, 4, 0), "4桁・漢数字位取り"},
        {counter(kKindInteger, kFormatFullWidth, 3, 1), "3桁・空白・全角"},
    };
    for (const auto& c : counters) EXPECT_EQ(styleSummary(c.style), c.summary);
    EXPECT_EQ(styleSummary(ArrayStyle{.repeat = 2, .order = kOrderShuffled, .seed = "7"}),
              "2回ずつ・シャッフル・シード7");
    EXPECT_EQ(styleSummary(ArrayStyle{.order = kOrderDrawn}), "ランダム");
    EXPECT_EQ(styleSummary(ArrayStyle{.seed = "7"}), "");  // a seed of a list as written draws nothing
}

TEST_F(Pages, selectionThatDidNotChange_leavesThePagesAlone) {
    dialog->ShowPage(4);  // a page other than the selected tab's
    dialog->OnSelchangeTab();
    EXPECT_EQ(dialog->currentTab(), 0);
    EXPECT_EQ(shownPage(), &dialog->arrayPages()[3]);
}

TEST_F(Pages, showPage_showsOnePageOrNone) {
    struct Case {
        int index;
        const QWidget* shown;
    };
    const Case cases[] = {{3, &dialog->arrayPages()[2]},
                          {0, &dialog->numericPage()},
                          {9, &dialog->arrayPages()[8]},
                          {10, nullptr},
                          {-1, nullptr}};
    for (const Case& c : cases) {
        dialog->ShowPage(c.index);
        EXPECT_EQ(shownPage(), c.shown) << c.index;
    }
}

TEST_F(Pages, focusInAPageEdit_selectsAllOfIt) {
    for (int tab : {0, 1}) {
        dialog->tabControl()->tabBar()->setCurrentIndex(tab);
        PageDialog& page = tab == 0 ? static_cast<PageDialog&>(dialog->numericPage()) : dialog->arrayPages()[0];
        const std::vector<QWidget*> edits = pageEdits(page);
        ASSERT_EQ(edits.size(), tab == 0 ? 15u : 2u);
        for (QWidget* edit : edits) {
            SetWindowText(edit, "old\r\ntext");
            edit->setFocus(Qt::OtherFocusReason);
            ASSERT_EQ(QApplication::focusWidget(), edit);
            if (auto* line = qobject_cast<QLineEdit*>(edit)) {
                EXPECT_EQ(line->selectedText(), line->text());
            } else {
                auto* multi = qobject_cast<QPlainTextEdit*>(edit);
                EXPECT_EQ(multi->textCursor().selectedText(), QStringLiteral("old\u2029text"));
            }
            // Typing replaces the old content at once.
            QTest::keyClicks(edit, "new");
            EXPECT_EQ(GetWindowText(edit), "new");
        }
    }
}

TEST_F(Pages, focusInTheOutputPane_selectsAllButTheLoopCountDoesNot) {
    dialog->SetDlgItemText(kIdOutput, "line 1\r\nline 2\r\nline 3");
    auto* output = control<OutputView>(kIdOutput);
    output->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(output->selectedText(), QStringLiteral("line 1\nline 2\nline 3"));

    auto* loopCount = control<QLineEdit>(kIdLoopCount);
    loopCount->setText("12");
    loopCount->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), loopCount);
    EXPECT_FALSE(loopCount->hasSelectedText());
}

TEST_F(Pages, enterAndEscapeInPageEdits_leaveThemAsTheyWereExceptEnterInTheValueList) {
    for (int tab : {0, 2}) {
        dialog->tabControl()->tabBar()->setCurrentIndex(tab);
        PageDialog& page = tab == 0 ? static_cast<PageDialog&>(dialog->numericPage()) : dialog->arrayPages()[1];
        for (QWidget* edit : pageEdits(page)) {
            edit->setFocus();
            SetWindowText(edit, "x");
            const bool valueList = tab != 0 && edit == page.GetDlgItem(kIdArrayValues);
            if (valueList) qobject_cast<QPlainTextEdit*>(edit)->moveCursor(QTextCursor::End);
            QTest::keyClick(edit, Qt::Key_Return);
            QTest::keyClick(edit, Qt::Key_Escape);
            QTest::keyClick(edit, Qt::Key_Enter);
            EXPECT_EQ(GetWindowText(edit), valueList ? "x\r\n\r\n" : "x");
            ASSERT_TRUE(dialog->isVisible()) << "tab " << tab;
        }
    }
}

TEST_F(Pages, fillControls_replacesWhatTheUserTyped) {
    dialog->numericPage().SetDlgItemText(numericTokenId(0), "typed");
    dialog->numericPage().SetDlgItemText(numericIncrementId(4), "abc");
    dialog->arrayPages()[0].SetDlgItemText(kIdArrayValues, "");
    record.counters[4].increment = 9;
    dialog->numericPage().FillControls();
    dialog->arrayPages()[0].FillControls();
    EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericTokenId(0)), "＜置換1＞");
    EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericIncrementId(4)), "9");
    EXPECT_EQ(dialog->arrayPages()[0].GetDlgItemText(kIdArrayValues), "a\r\nb");
}

TEST_F(Pages, numberFields_acceptAnyText) {
    QWidget* initial = dialog->numericPage().GetDlgItem(numericInitialId(2));
    initial->setFocus();
    QTest::keyClicks(initial, "1x-");
    EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericInitialId(2)), "1x-");
}

}  // namespace
}  // namespace ravolin
