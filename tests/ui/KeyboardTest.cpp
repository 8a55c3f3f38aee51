#include <functional>

#include <QLabel>
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

TEST_F(Keyboard, enterInEverySingleLineField_runsAndNeverExits) {
    changeDocument(*dialog, [](Document& d) { d.window.beep = 1; });  // one beep a run
    struct Case {
        int tab;
        QWidget* field;
    };
    std::vector<Case> cases{{0, dialog->GetDlgItem(kIdLoopCount)},
                            {0, dialog->GetDlgItem(kIdAutoSave)},
                            {0, dialog->tabControl()->tabBar()}};
    for (int r = 0; r < 5; ++r) {
        for (int id : {numericTokenId(r), numericInitialId(r), numericIncrementId(r)})
            cases.push_back({0, dialog->numericPage().GetDlgItem(id)});
    }
    for (int i = 0; i < 9; ++i) cases.push_back({i + 1, dialog->arrayPages()[i].GetDlgItem(kIdArrayToken)});
    for (const Case& c : cases) {
        for (const auto& [key, modifiers] :
             {std::pair{Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier}}) {
            SCOPED_TRACE(c.field->accessibleName().toStdString() + (key == Qt::Key_Enter ? " keypad" : ""));
            dialog->tabControl()->tabBar()->setCurrentIndex(c.tab);
            c.field->setFocus();
            ASSERT_EQ(QApplication::focusWidget(), c.field);
            const std::size_t runs = tone.callCount();
            QTest::keyClick(c.field, key, modifiers);
            ASSERT_TRUE(eventually([&] { return tone.callCount() == runs + 1 && !dialog->isRunning(); }));
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(dialog->result(), 0);
        }
    }
}

TEST_F(Keyboard, runKeysSaveKeyExitKeyAndHelpKey_reachTheirCommandsFromAnyField) {
    changeDocument(*dialog, [](Document& d) { d.window.beep = 1; });
    dialog->SetDlgItemText(kIdLoopCount, "1");
    auto* editor = control<QPlainTextEdit>(kIdTemplate);
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    for (const QKeyCombination& key :
         {QKeyCombination(Qt::Key_F5), QKeyCombination(Qt::ControlModifier, Qt::Key_Return),
          QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Enter)}) {
        const std::size_t runs = tone.callCount();
        QTest::keyClick(editor, key.key(), key.keyboardModifiers());
        ASSERT_TRUE(eventually([&] { return tone.callCount() == runs + 1 && !dialog->isRunning(); }));
    }
    EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "text");  // Ctrl+Enter ran instead of starting a line
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), "text");

    QTest::keyClick(editor, Qt::Key_F1);
    EXPECT_EQ(modalRuns, std::vector<std::string>{"Ravolin の使い方"});

    dialog->SetDlgItemText(kIdTemplate, "typed");
    QTest::keyClick(dialog->GetDlgItem(kIdLoopCount), Qt::Key_S, Qt::ControlModifier);
    EXPECT_NE(dir.readSettingsBytes().find("Origin=typed"), std::string::npos);
    EXPECT_TRUE(dialog->windowTitle().endsWith(QStringLiteral(" - 設定を保存しました")));

    QTest::keyClick(editor, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(ended());
}

TEST_F(Keyboard, pageKeys_switchPagesFromAnywhereAndKeepTheKeyboardInSight) {
    struct Case {
        QKeyCombination key;
        int from;
        int to;
    };
    const Case cases[] = {
        {QKeyCombination(Qt::ControlModifier, Qt::Key_PageDown), 0, 1},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_PageDown), 9, 0},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_PageUp), 0, 9},
        {QKeyCombination(Qt::ControlModifier, Qt::Key_PageUp), 5, 4},
        {QKeyCombination(Qt::AltModifier, Qt::Key_3), 0, 3},
        {QKeyCombination(Qt::AltModifier, Qt::Key_9), 2, 9},
        {QKeyCombination(Qt::AltModifier, Qt::Key_0), 7, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QKeySequence(c.key).toString().toStdString() + " from " + std::to_string(c.from));
        dialog->tabControl()->tabBar()->setCurrentIndex(c.from);
        for (QWidget* focus :
             std::initializer_list<QWidget*>{dialog->GetDlgItem(kIdTemplate), dialog->tabControl()->tabBar()}) {
            dialog->tabControl()->tabBar()->setCurrentIndex(c.from);
            focus->setFocus();
            QTest::keyClick(focus, c.key.key(), c.key.keyboardModifiers());
            EXPECT_EQ(dialog->currentTab(), c.to);
            EXPECT_EQ(QApplication::focusWidget(), focus);
        }
    }
    // A field of the page that goes away hands the keyboard to the tabs.
    dialog->tabControl()->tabBar()->setCurrentIndex(0);
    QWidget* field = dialog->numericPage().GetDlgItem(numericInitialId(1));
    field->setFocus();
    QTest::keyClick(field, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_TRUE(dialog->arrayPages()[0].isVisible());
    EXPECT_EQ(QApplication::focusWidget(), dialog->tabControl()->tabBar());
    // The focused tabs follow the arrow keys.
    QTest::keyClick(dialog->tabControl()->tabBar(), Qt::Key_Right);
    EXPECT_TRUE(dialog->arrayPages()[1].isVisible());
}

TEST_F(Keyboard, enterInTheEditors_staysThere) {
    auto* editor = control<QPlainTextEdit>(kIdTemplate);
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "text\r\n");  // want-return: a new line
    auto* output = control<OutputView>(kIdOutput);
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
    changeDocument(*dialog, [](Document& d) { d.window.beep = 1; });
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
                                   dialog->GetDlgItem(kIdClearEditArea), dialog->GetDlgItem(kIdExecute),
                                   dialog->tabControl()->tabBar()};
    for (int r = 0; r < 5; ++r) {
        for (int id : {numericTokenId(r), numericInitialId(r), numericIncrementId(r)}) {
            expected.push_back(dialog->numericPage().GetDlgItem(id));
        }
    }
    for (int id : {kIdOutput, kIdSaveSettings, kIdExit, kIdTemplate}) expected.push_back(dialog->GetDlgItem(id));

    dialog->GetDlgItem(kIdTemplate)->setFocus();
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected[i]) << "step " << i;
    }

    // On an array tab, Tab goes through that page's two edits instead.
    dialog->tabControl()->tabBar()->setCurrentIndex(4);
    dialog->tabControl()->tabBar()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog->arrayPages()[3].GetDlgItem(kIdArrayToken));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog->arrayPages()[3].GetDlgItem(kIdArrayValues));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog->GetDlgItem(kIdOutput));
}

TEST_F(Keyboard, loopCount_takesAnyCountAndMarksWhatIsNotOne) {
    auto* loopCount = control<QLineEdit>(kIdLoopCount);
    QLabel* status = nullptr;
    for (QLabel* label : loopCount->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->geometry().left() > loopCount->geometry().right() &&
            label->geometry().top() == loopCount->geometry().top())
            status = label;
    }
    ASSERT_NE(status, nullptr) << "no mark beside the loop count";
    const struct {
        const char* typed;
        const char* mark;
    } cases[] = {
        {"2147483647", ""},
        {"0", ""},
        {" 12 ", ""},
        {"", ""},
        {"2147483648", "範囲外"},
        {"99999999999", "範囲外"},
        {"12x", "数字のみ"},
        {"-5", "数字のみ"},
        {"1,000", "数字のみ"},
        {"+5", "数字のみ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        loopCount->setFocus();
        loopCount->clear();
        QTest::keyClicks(loopCount, c.typed);
        EXPECT_EQ(loopCount->text(), QString::fromUtf8(c.typed));  // typed whole, scrolling in its box
        EXPECT_EQ(status->text(), QString::fromUtf8(c.mark));
        EXPECT_EQ(loopCount->toolTip().isEmpty(), *c.mark == '\0');
    }
}

}  // namespace
}  // namespace ravolin
