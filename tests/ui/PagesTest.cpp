#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>

#include "tests/ui/DialogFixture.h"
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
        if (dialog->m_numericPage.isVisible()) shown = &dialog->m_numericPage, ++count;
        for (const ArrayPage& page : dialog->m_arrayPage) {
            if (page.isVisible()) shown = &page, ++count;
        }
        EXPECT_LE(count, 1);
        return shown;
    }

    std::vector<QWidget*> pageEdits(PageDialog& page) const { return page.tabStops(); }
};

TEST_F(Pages, choosingATab_showsItsPage) {
    QTabBar* bar = dialog->m_tab->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(dialog->m_nCurTab, 1);
    EXPECT_EQ(shownPage(), &dialog->m_arrayPage[0]);
    for (int tab = 9; tab >= 0; --tab) {
        bar->setCurrentIndex(tab);
        EXPECT_EQ(dialog->m_nCurTab, tab);
        const QWidget* expected = tab == 0 ? static_cast<const QWidget*>(&dialog->m_numericPage)
                                           : &dialog->m_arrayPage[static_cast<std::size_t>(tab - 1)];
        EXPECT_EQ(shownPage(), expected) << "tab " << tab;
    }
}

TEST_F(Pages, selectionThatDidNotChange_leavesThePagesAlone) {
    dialog->ShowPage(4);  // a page other than the selected tab's
    dialog->OnSelchangeTab();
    EXPECT_EQ(dialog->m_nCurTab, 0);
    EXPECT_EQ(shownPage(), &dialog->m_arrayPage[3]);
}

TEST_F(Pages, showPage_showsOnePageOrNone) {
    struct Case {
        int index;
        const QWidget* shown;
    };
    const Case cases[] = {{3, &dialog->m_arrayPage[2]},
                          {0, &dialog->m_numericPage},
                          {9, &dialog->m_arrayPage[8]},
                          {10, nullptr},
                          {-1, nullptr}};
    for (const Case& c : cases) {
        dialog->ShowPage(c.index);
        EXPECT_EQ(shownPage(), c.shown) << c.index;
    }
}

TEST_F(Pages, focusInAPageEdit_selectsAllOfIt) {
    for (int tab : {0, 1}) {
        dialog->m_tab->tabBar()->setCurrentIndex(tab);
        PageDialog& page = tab == 0 ? static_cast<PageDialog&>(dialog->m_numericPage) : dialog->m_arrayPage[0];
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
    auto* output = control<QPlainTextEdit>(kIdOutput);
    output->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(output->textCursor().selectedText(), QStringLiteral("line 1\u2029line 2\u2029line 3"));

    auto* loopCount = control<QLineEdit>(kIdLoopCount);
    loopCount->setText("12");
    loopCount->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), loopCount);
    EXPECT_FALSE(loopCount->hasSelectedText());
}

TEST_F(Pages, enterAndEscapeInPageEdits_leaveThemAsTheyWereExceptEnterInTheValueList) {
    for (int tab : {0, 2}) {
        dialog->m_tab->tabBar()->setCurrentIndex(tab);
        PageDialog& page = tab == 0 ? static_cast<PageDialog&>(dialog->m_numericPage) : dialog->m_arrayPage[1];
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
    dialog->m_numericPage.SetDlgItemText(numericTokenId(0), "typed");
    dialog->m_numericPage.SetDlgItemText(numericIncrementId(4), "abc");
    dialog->m_arrayPage[0].SetDlgItemText(kIdArrayValues, "");
    record.counters[4].increment = 9;
    dialog->m_numericPage.FillControls();
    dialog->m_arrayPage[0].FillControls();
    EXPECT_EQ(dialog->m_numericPage.GetDlgItemText(numericTokenId(0)), "＜置換1＞");
    EXPECT_EQ(dialog->m_numericPage.GetDlgItemText(numericIncrementId(4)), "9");
    EXPECT_EQ(dialog->m_arrayPage[0].GetDlgItemText(kIdArrayValues), "a\r\nb");
}

TEST_F(Pages, numberFields_acceptAnyText) {
    QWidget* initial = dialog->m_numericPage.GetDlgItem(numericInitialId(2));
    initial->setFocus();
    QTest::keyClicks(initial, "1x-");
    EXPECT_EQ(dialog->m_numericPage.GetDlgItemText(numericInitialId(2)), "1x-");
}

}  // namespace
}  // namespace ravolin
