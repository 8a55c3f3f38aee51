#include <QAction>

#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <tuple>

#include "tests/ui/DialogFixture.h"
#include "ui/DialogTexts.h"

namespace ravolin {
namespace {

class MenuCommands : public DialogFixture {
protected:
    void createWith(const std::string& common, const std::string& rest = {}) {
        writeSettingsWithFont(common, rest);
        createAndShow();
    }
    void click(int id) { QTest::mouseClick(dialog->GetDlgItem(id), Qt::LeftButton); }
    void setCounterTokenTo(const std::string& token) { dialog->numericPage().SetDlgItemText(numericTokenId(0), token); }
    std::string counterToken(int r) const { return dialog->numericPage().GetDlgItemText(numericTokenId(r)); }
    std::string arrayValues(std::size_t i) const { return dialog->arrayPages()[i].GetDlgItemText(kIdArrayValues); }
};

TEST_F(MenuCommands, clearEditArea_emptiesTheTemplateAndResetsTheOutput_fromButtonAndMenu) {
    createWith("Loop=2\r\n", "[Edit]\r\nOrigin=x\r\n");
    const std::function<void()> commands[] = {[this] { click(kIdClearEditArea); },
                                              [this] { dialog->GetMenuItem(kCmdClearEditArea)->trigger(); }};
    for (const auto& command : commands) {
        dialog->SetDlgItemText(kIdTemplate, "x");
        runToEnd();
        ASSERT_EQ(dialog->GetDlgItemText(kIdOutput), "x\r\nx");
        setCounterTokenTo("edited");
        command();
        EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "");
        EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), "置換後データが出力されます");
        EXPECT_EQ(counterToken(0), "edited");
        EXPECT_EQ(dialog->GetDlgItemText(kIdLoopCount), "2");
        EXPECT_EQ(dialog->unsaved(), 1);
        // One click wiped it; Ctrl+Z in the editor brings it back.
        auto* editor = qobject_cast<QPlainTextEdit*>(dialog->GetDlgItem(kIdTemplate));
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "x");
    }
    EXPECT_TRUE(messageBox.calls().empty());
}

TEST_F(MenuCommands, restore_asksFirst_bringsBackTheLoadedValues_andAfterASaveTheSavedOnes) {
    createWith("", "[Numerical]\r\nText1=loaded\r\n[Arrangement]\r\nValue2=a,b\r\n");
    auto expectQuestion = [this](std::size_t index) {
        ASSERT_GT(messageBox.calls().size(), index);
        const MessageBoxCall& call = messageBox.calls()[index];
        EXPECT_EQ(call.text, "置換文字列\r\n\r\n[数値]、[配列] を起動時に戻しますか？");
        EXPECT_EQ(call.caption, "確認");
        EXPECT_EQ(call.type, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);  // Enter keeps what was typed
        EXPECT_EQ(call.owner, dialog.get());
    };
    auto edit = [this] {
        setCounterTokenTo("typed");
        dialog->numericPage().SetDlgItemText(numericIncrementId(4), "9");
        dialog->arrayPages()[1].SetDlgItemText(kIdArrayValues, "z");
        dialog->SetDlgItemText(kIdTemplate, "template stays");
    };

    edit();
    messageBox.scriptAnswer(IDNO);
    click(kIdRestoreStrings);
    expectQuestion(0);
    EXPECT_EQ(counterToken(0), "typed");

    messageBox.scriptAnswer(IDYES);
    dialog->GetMenuItem(kCmdRestoreStrings)->trigger();
    expectQuestion(1);
    EXPECT_EQ(counterToken(0), "loaded");
    EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericIncrementId(4)), "1");
    EXPECT_EQ(arrayValues(1), "a\r\nb");
    EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "template stays");

    edit();
    click(kIdSaveSettings);
    setCounterTokenTo("after the save");
    dialog->arrayPages()[1].SetDlgItemText(kIdArrayValues, "");
    messageBox.scriptAnswer(IDYES);
    click(kIdRestoreStrings);
    expectQuestion(2);
    EXPECT_EQ(counterToken(0), "typed");
    EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericIncrementId(4)), "9");
    EXPECT_EQ(arrayValues(1), "z");
}

TEST_F(MenuCommands, toggles_flipFlagAndMark_oddStoredValuesCountAsOff_andNothingIsWritten) {
    struct Case {
        std::int32_t stored;
        std::int32_t afterFirst;
    };
    for (const Case& c : {Case{0, 1}, Case{1, 0}, Case{2, 1}}) {
        SCOPED_TRACE(c.stored);
        const std::string value = std::to_string(c.stored);
        createWith("Beep=" + value + "\r\nTray=" + value + "\r\n");
        const std::string fileBefore = dir.readSettingsBytes();
        for (const std::int32_t expected : {c.afterFirst, 1 - c.afterFirst}) {
            dialog->GetMenuItem(kCmdToggleBeep)->trigger();
            dialog->OnCommand(kCmdToggleTray);
            EXPECT_EQ(dialog->documentShown().window.beep, expected);
            EXPECT_EQ(dialog->documentShown().window.tray, expected);
            EXPECT_EQ(dialog->GetMenuItem(kCmdToggleBeep)->isChecked(), expected == 1);
            EXPECT_EQ(dialog->GetMenuItem(kCmdToggleTray)->isChecked(), expected == 1);
        }
        EXPECT_EQ(dialog->unsaved(), 0);
        EXPECT_EQ(dir.readSettingsBytes(), fileBefore);
        dialog.reset();
    }
}

TEST_F(MenuCommands, autoSaveBox_setsTheFlagAndSwitchesTheSaveButton) {
    createWith("");
    click(kIdAutoSave);
    EXPECT_EQ(dialog->documentShown().window.autoSave, 1);
    EXPECT_FALSE(dialog->GetDlgItem(kIdSaveSettings)->isEnabled());
    click(kIdAutoSave);
    EXPECT_EQ(dialog->documentShown().window.autoSave, 0);
    EXPECT_TRUE(dialog->GetDlgItem(kIdSaveSettings)->isEnabled());
    EXPECT_EQ(dir.readSettingsBytes().find("AutoSave"), std::string::npos);  // nothing written
}

TEST_F(MenuCommands, sentCloseCommand_takesTheExitPathWithItsQuestion) {
    createWith("");
    runToEnd();
    messageBox.scriptAnswer(IDNO);
    dialog->OnCommand(kCmdClose);
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(messageBox.calls().size(), 1u);
    EXPECT_EQ(messageBox.calls()[0].text, kUnsavedQuestion);
    messageBox.scriptAnswer(IDYES);
    dialog->OnCommand(kCmdClose);
    EXPECT_TRUE(ended());
}

TEST_F(MenuCommands, templateContextMenu_insertsTheTokensThePagesShowAtTheCaret) {
    createWith("");
    dialog->numericPage().SetDlgItemText(numericTokenId(1), "#N&1");
    dialog->numericPage().SetDlgItemText(numericTokenId(4), "");
    dialog->arrayPages()[8].SetDlgItemText(kIdArrayToken, "＜名前＞");
    auto* editor = qobject_cast<QPlainTextEdit*>(dialog->GetDlgItem(kIdTemplate));
    dialog->SetDlgItemText(kIdTemplate, "ab");

    const auto tokenItems = [this] {
        QMenu* menu = dialog->templateContextMenu();
        const QList<QAction*> items = menu->actions();
        EXPECT_FALSE(items.isEmpty());
        // Qt's own edit items first (undo, cut, copy, paste...), then ours.
        EXPECT_GT(items.size(), 3);
        QAction* insert = items.back();
        EXPECT_EQ(insert->text(), "置換文字列を挿入");
        EXPECT_NE(insert->menu(), nullptr);
        return std::pair{menu, insert->menu()->actions()};
    };
    auto [menu, items] = tokenItems();
    ASSERT_EQ(items.size(), 15);  // five counters, a separator, nine arrays
    EXPECT_TRUE(items[5]->isSeparator());
    struct Case {
        int item;
        const char* caption;
        bool enabled;
    };
    const Case cases[] = {{0, "＜置換1＞\t数値 1 行目", true},
                          {1, "#N&&1\t数値 2 行目", true},
                          {4, "（使わない）\t数値 5 行目", false},
                          {6, "＜配列1＞\t配列1", true},
                          {14, "＜名前＞\t配列9", true}};
    for (const Case& c : cases) {
        EXPECT_EQ(items[c.item]->text(), QString::fromUtf8(c.caption)) << c.item;
        EXPECT_EQ(items[c.item]->isEnabled(), c.enabled) << c.item;
    }
    delete menu;

    // At the caret, and over a selection, as typing would.
    QTextCursor caret = editor->textCursor();
    caret.setPosition(1);
    editor->setTextCursor(caret);
    std::tie(menu, items) = tokenItems();
    items[1]->trigger();
    delete menu;
    EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "a#N&1b");
    caret.setPosition(0);
    caret.setPosition(1, QTextCursor::KeepAnchor);
    editor->setTextCursor(caret);
    std::tie(menu, items) = tokenItems();
    items[14]->trigger();
    delete menu;
    EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "＜名前＞#N&1b");
    EXPECT_TRUE(editor->document()->isUndoAvailable());
}

}  // namespace
}  // namespace ravolin
