#include <functional>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>

#include "tests/ui/DialogFixture.h"
#include "ui/DialogTexts.h"
#include "ui/controls/TabControl.h"

namespace ravolin {
namespace {

class Keyboard : public DialogFixture {
protected:
    void SetUp() override {
        writeSettingsWithFont("", "[Edit]\r\nOrigin=text\r\n");
        createAndShow();
    }
};

TEST_F(Keyboard, afterStart_exitButtonHasFocusAndEnterDoesNothing) {
    QWidget* exit = dialog->GetDlgItem(kIdExit);
    EXPECT_EQ(QApplication::focusWidget(), exit);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) QTest::keyClick(exit, key);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), 0);
    // A click still ends the dialog: only the key is refused.
    QTest::mouseClick(exit, Qt::LeftButton);
    EXPECT_TRUE(ended());
}

TEST_F(Keyboard, enterInTheLoopCount_activatesTheDefaultButton) {
    QWidget* loopCount = dialog->GetDlgItem(kIdLoopCount);
    loopCount->setFocus();
    QTest::keyClick(loopCount, Qt::Key_Return);
    EXPECT_TRUE(ended());
}

TEST_F(Keyboard, enterInTheEditors_staysThere) {
    auto* editor = control<QPlainTextEdit>(kIdTemplate);
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "text\r\n");  // want-return: a new line
    auto* output = control<QPlainTextEdit>(kIdOutput);
    output->setFocus();
    QTest::keyClick(output, Qt::Key_Return);  // read-only, yet it keeps the key
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), kOutputPlaceholder);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(Keyboard, escape_isTheCloseRequestAndEndsTheDialog) {
    QWidget* editor = dialog->GetDlgItem(kIdTemplate);
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_TRUE(ended());
}

TEST_F(Keyboard, closeRequests_endTheIdleDialog) {
    struct Case {
        const char* name;
        std::function<void(ConverterDialog&)> request;
    };
    const Case cases[] = {
        {"close box", [](ConverterDialog& d) { d.close(); }},
        {"command 32786", [](ConverterDialog& d) { d.OnCommand(kCmdClose); }},
        {"IDCANCEL", [](ConverterDialog& d) { d.OnCommand(kIdCancel); }},
        {"SC_CLOSE", [](ConverterDialog& d) { d.OnSysCommand(SC_CLOSE); }},
        {"menu 32778", [](ConverterDialog& d) { d.GetMenuItem(kCmdExit)->trigger(); }},
        {"Alt+X", [](ConverterDialog& d) { QTest::keyClick(&d, Qt::Key_X, Qt::AltModifier); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!dialog) createAndShow();
        c.request(*dialog);
        EXPECT_TRUE(ended());
        EXPECT_TRUE(messageBox.calls().empty());
        dialog.reset();
    }
}

TEST_F(Keyboard, closeRequestDuringARun_isRefusedWithTheBusyMessage) {
    dialog->m_bBeep = 1;
    holdRunsAtBeep();
    dialog->OnCommand(kIdExecute);
    ASSERT_TRUE(eventually([this] { return tone.callCount() == 1; }));
    const std::function<void()> requests[] = {
        [this] { QTest::keyClick(dialog->GetDlgItem(kIdTemplate), Qt::Key_Escape); },
        [this] { dialog->close(); },
        [this] { dialog->OnCommand(kCmdClose); },
    };
    for (const auto& request : requests) {
        messageBox.scriptAnswer(IDOK);
        request();
    }
    ASSERT_EQ(messageBox.calls().size(), 3u);
    for (const MessageBoxCall& call : messageBox.calls()) {
        expectBusyWarning(call);
        EXPECT_EQ(call.owner, dialog.get());
    }
    EXPECT_TRUE(dialog->isVisible());
    beepGate.open();
    ASSERT_TRUE(eventually([this] { return !dialog->isRunning(); }));
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(Keyboard, disabledExitItem_turnsAltXOff) {
    dialog->EnableMenuItem(kCmdExit, false);
    QTest::keyClick(dialog.get(), Qt::Key_X, Qt::AltModifier);
    EXPECT_TRUE(dialog->isVisible());
    dialog->EnableMenuItem(kCmdExit, true);
    QTest::keyClick(dialog.get(), Qt::Key_X, Qt::AltModifier);
    EXPECT_TRUE(ended());
}

TEST_F(Keyboard, f1_doesNothing) {
    auto* editor = control<QPlainTextEdit>(kIdTemplate);
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_F1);
    QTest::keyClick(dialog->GetDlgItem(kIdExit), Qt::Key_F1);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "text");
    EXPECT_TRUE(modalRuns.empty());
}

TEST_F(Keyboard, versionDialog_opensFromMenuAcceleratorAndSentCommands) {
    const std::function<void()> requests[] = {
        [this] { dialog->GetMenuItem(kCmdAbout)->trigger(); },
        [this] { QTest::keyClick(dialog.get(), Qt::Key_A, Qt::AltModifier); },
        [this] { dialog->OnCommand(kCmdTrayAbout); },
        [this] { dialog->OnSysCommand(0x0010); },
        [this] { dialog->OnSysCommand(0x001F); },  // the low four bits don't count
    };
    for (const auto& request : requests) request();
    EXPECT_EQ(modalRuns, std::vector<std::string>(5, "Ravolin のバージョン情報"));
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(Keyboard, tab_movesThroughTheControlsAndTheShownPage) {
    std::vector<QWidget*> expected{dialog->GetDlgItem(kIdTemplate),      dialog->GetDlgItem(kIdLoopCount),
                                   dialog->GetDlgItem(kIdAutoSave),      dialog->GetDlgItem(kIdRestoreStrings),
                                   dialog->GetDlgItem(kIdClearEditArea), dialog->GetDlgItem(kIdExecute)};
    for (int r = 0; r < 5; ++r) {
        for (int id : {numericTokenId(r), numericInitialId(r), numericIncrementId(r)}) {
            expected.push_back(dialog->m_numericPage.GetDlgItem(id));
        }
    }
    for (int id : {kIdOutput, kIdSaveSettings, kIdExit, kIdTemplate}) expected.push_back(dialog->GetDlgItem(id));

    dialog->GetDlgItem(kIdTemplate)->setFocus();
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected[i]) << "step " << i;
    }

    // On an array tab, Tab goes through that page's two edits instead.
    dialog->m_tab->tabBar()->setCurrentIndex(4);
    dialog->GetDlgItem(kIdExecute)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog->m_arrayPage[3].GetDlgItem(kIdArrayToken));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog->m_arrayPage[3].GetDlgItem(kIdArrayValues));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog->GetDlgItem(kIdOutput));
}

TEST_F(Keyboard, loopCount_takesOnlyWhatFitsItsBox) {
    auto* loopCount = control<QLineEdit>(kIdLoopCount);
    loopCount->setFocus();
    loopCount->selectAll();
    QTest::keyClicks(loopCount, "123456789012345678901234567890");
    const QString typed = loopCount->text();
    EXPECT_GE(typed.size(), 3);
    EXPECT_LT(typed.size(), 30);
    EXPECT_TRUE(QStringLiteral("123456789012345678901234567890").startsWith(typed));
    EXPECT_LE(loopCount->fontMetrics().horizontalAdvance(typed), loopCount->width());
    // What the program puts there is not cut.
    dialog->SetDlgItemText(kIdLoopCount, "123456789012345678901234567890");
    EXPECT_EQ(dialog->GetDlgItemText(kIdLoopCount), "123456789012345678901234567890");
}

}  // namespace
}  // namespace ravolin
