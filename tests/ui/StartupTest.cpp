#include <sys/stat.h>

#include <QAction>
#include <QCheckBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>

#include "tests/ui/DialogFixture.h"
#include "ui/DialogTexts.h"
#include "ui/controls/FontMapping.h"
#include "ui/controls/TabControl.h"

namespace ravolin {

namespace {

class Startup : public DialogFixture {};

TEST_F(Startup, firstStartWithoutFile_showsDefaultsWithoutAFontNotice) {
    create();
    // No file at all is a first start, not a broken font: nothing is said.
    EXPECT_TRUE(messageBox.calls().empty());

    EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "");
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), "置換後データが出力されます");
    EXPECT_EQ(dialog->GetDlgItemText(kIdLoopCount), "0");
    EXPECT_FALSE(dialog->IsDlgButtonChecked(kIdAutoSave));
    EXPECT_TRUE(dialog->GetDlgItem(kIdSaveSettings)->isEnabled());
    EXPECT_FALSE(dialog->GetMenuItem(kCmdToggleBeep)->isChecked());
    EXPECT_FALSE(dialog->GetMenuItem(kCmdToggleTray)->isChecked());
    EXPECT_EQ(dialog->documentShown().window.beep, 0);
    EXPECT_EQ(dialog->documentShown().window.tray, 0);
    EXPECT_EQ(dialog->documentShown().window.autoSave, 0);
    EXPECT_EQ(dialog->unsaved(), 0);
    EXPECT_EQ(dialog->runChannel(), nullptr);

    const char* counterTokens[] = {"＜置換1＞", "＜置換2＞", "＜置換3＞", "＜置換4＞", "＜置換5＞"};
    for (int r = 0; r < 5; ++r) {
        EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericTokenId(r)), counterTokens[r]);
        EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericInitialId(r)), "0");
        EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericIncrementId(r)), "1");
    }
    for (int i = 0; i < 9; ++i) {
        const ArrayPage& page = dialog->arrayPages()[static_cast<std::size_t>(i)];
        EXPECT_EQ(page.arrayIndex(), i);
        EXPECT_EQ(page.GetDlgItemText(kIdArrayToken), "＜配列" + std::to_string(i + 1) + "＞");
        EXPECT_EQ(page.GetDlgItemText(kIdArrayValues), "");
    }

    // The template's font becomes the description and the editor's font; IPAPGothic draws it.
    EXPECT_EQ(dialog->documentShown().window.font, "-13,0,0,0,400,0,0,0,128,0,0,0,0,ＭＳ Ｐゴシック");
    const QFont editorFont = dialog->GetDlgItem(kIdTemplate)->font();
    EXPECT_EQ(editorFont.family(), QString::fromUtf8("ＭＳ Ｐゴシック"));
    EXPECT_EQ(editorFont.pixelSize(), 13);
    EXPECT_EQ(QFontInfo(editorFont).family(), resolveInstalledFamily("IPAPGothic"));

    show();
    dialog->close();
    EXPECT_TRUE(messageBox.calls().empty());
    EXPECT_FALSE(dir.settingsExist());
}

TEST_F(Startup, aMissingWindowFace_isToldOnceInAnInformationBox) {
    const struct {
        bool missing;
        const char* substitute;
        const char* says;  // a piece of the message; nothing is said where it is empty
    } cases[] = {
        {false, "", ""},
        {true, "Noto Sans CJK JP", "代わりに Noto Sans CJK JP で表示します。"},
        {true, "", "No installed font has Japanese characters"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        JapaneseFontPlan plan;
        plan.windowFaceMissing = c.missing;
        plan.windowSubstitute = QString::fromUtf8(c.substitute);
        fontPlan = plan;
        const std::size_t before = messageBox.calls().size();
        if (*c.says) messageBox.scriptAnswer(IDOK);
        writeSettingsWithFont("");
        createAndShow();
        ASSERT_EQ(messageBox.calls().size() - before, *c.says ? 1u : 0u);
        if (*c.says) {
            EXPECT_NE(messageBox.calls().back().text.find(c.says), std::string::npos);
            EXPECT_EQ(messageBox.calls().back().caption, "情報");
            EXPECT_EQ(messageBox.calls().back().type, MB_OK | MB_ICONASTERISK);
        }
        dialog.reset();
    }
}

TEST_F(Startup, settingsFileThatIsAPipe_isNamedInAWarningAndTheDefaultsApply) {
    const std::string fifo = dir.directory() + "/fifo.ini";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    messageBox.scriptAnswer(IDOK);  // the warning
    messageBox.scriptAnswer(IDOK);  // the defaults have no font description
    create(fifo);
    ASSERT_EQ(messageBox.calls().size(), 2u);
    const MessageBoxCall& warning = messageBox.calls()[0];
    EXPECT_EQ(warning.caption, "警告");
    EXPECT_EQ(warning.type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(warning.text,
              "設定ファイルを読み込めないため、既定の設定で起動します。\r\nこのファイルには保存しません。\r\n\r\n"
              "ファイル: " +
                  fifo + "\r\n理由: 通常のファイルではありません（パイプ、デバイスなど）");
    EXPECT_EQ(dialog->GetDlgItemText(kIdLoopCount), "0");
}

TEST_F(Startup, loadedValues_appearInTheirControls) {
    writeSettingsWithFont("Loop=-5\r\nBeep=1\r\nTray=2\r\nAutoSave=1\r\n",
                          "[Edit]\r\nOrigin=first,second\r\n"
                          "[Numerical]\r\nText2=＃\r\nInit2=7\r\nInc2=-3\r\n"
                          "[Arrangement]\r\nText3=色\r\nValue3=red,green,blue\r\n");
    create();

    EXPECT_TRUE(messageBox.calls().empty());
    EXPECT_EQ(dialog->GetDlgItemText(kIdLoopCount), "-5");
    EXPECT_EQ(dialog->documentShown().window.loopCount, -5);
    EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "first\r\nsecond");
    EXPECT_EQ(dialog->documentShown().window.templateText, "first\r\nsecond");
    EXPECT_TRUE(dialog->GetMenuItem(kCmdToggleBeep)->isChecked());
    EXPECT_FALSE(dialog->GetMenuItem(kCmdToggleTray)->isChecked());  // only exactly 1 is on
    EXPECT_EQ(dialog->documentShown().window.tray, 2);               // but the value is kept as read
    EXPECT_TRUE(dialog->IsDlgButtonChecked(kIdAutoSave));
    EXPECT_FALSE(dialog->GetDlgItem(kIdSaveSettings)->isEnabled());

    EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericTokenId(1)), "＃");
    EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericInitialId(1)), "7");
    EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericIncrementId(1)), "-3");
    EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericTokenId(0)), "＜置換1＞");

    const ArrayPage& third = dialog->arrayPages()[2];
    EXPECT_EQ(third.GetDlgItemText(kIdArrayToken), "色");
    EXPECT_EQ(third.GetDlgItemText(kIdArrayValues), "red\r\ngreen\r\nblue");
    const auto* values = qobject_cast<QPlainTextEdit*>(third.GetDlgItem(kIdArrayValues));
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(values->blockCount(), 3);
    EXPECT_EQ(dialog->arrayPages()[1].GetDlgItemText(kIdArrayValues), "");
}

TEST_F(Startup, fontDescription_isParsedAndNormalised) {
    struct Case {
        std::string stored;
        bool message;
        std::string normalForm;
    };
    const Case cases[] = {
        {"-16,0,0,0,700,0,0,0,128,0,0,0,0,IPAGothic,dropped", false, "-16,0,0,0,700,0,0,0,128,0,0,0,0,IPAGothic"},
        {" -16, 0,0,0,0400,0,0,0,300,0,0,0,0,IPAGothic", false, "-16,0,0,0,400,0,0,0,44,0,0,0,0,IPAGothic"},
        {"-16,0,0,0,700,0,0,0,128,0,0,0,0", true, "-13,0,0,0,400,0,0,0,128,0,0,0,0,ＭＳ Ｐゴシック"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        dir.writeSettings("[Common]\r\nFont=" + c.stored + "\r\n");
        if (c.message) messageBox.scriptAnswer(IDOK);
        const std::size_t before = messageBox.calls().size();
        create();
        EXPECT_EQ(messageBox.calls().size() - before, c.message ? 1u : 0u);
        EXPECT_EQ(dialog->documentShown().window.font, c.normalForm);
        EXPECT_EQ(FormatFontString(dialog->GetWindowFont()), c.normalForm);
        dialog.reset();
    }
}

TEST_F(Startup, editorFont_onlyOnTheTemplateEditor) {
    dir.writeSettings("[Common]\r\nFont=-20,0,0,0,700,1,0,0,128,0,0,0,0,IPAGothic\r\n");
    create();
    const QFont editorFont = dialog->GetDlgItem(kIdTemplate)->font();
    EXPECT_EQ(editorFont.pixelSize(), 20);
    EXPECT_EQ(editorFont.weight(), QFont::Bold);
    EXPECT_TRUE(editorFont.italic());
    EXPECT_EQ(dialog->editorFont(), editorFont);
    for (int id : {kIdOutput, kIdLoopCount, kIdExit}) {
        EXPECT_EQ(dialog->GetDlgItem(id)->font().pixelSize(), 13) << id;
        EXPECT_FALSE(dialog->GetDlgItem(id)->font().bold()) << id;
    }
}

TEST_F(Startup, window_hasCaptionIconAndLayoutAtItsLeastSize) {
    writeSettingsWithFont("");
    createAndShow();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Ravolin"));
    EXPECT_FALSE(dialog->windowIcon().isNull());
    // The template's size is both the size it opens at and the least it takes.
    EXPECT_EQ(dialog->size(), dialog->minimumSize());
    EXPECT_GT(dialog->maximumWidth(), dialog->width());
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

    // Dialog units with the template font (8 x 14 base units): the client area is 956 x 691 under the menu.
    QWidget* client = dialog->GetDlgItem(kIdExit)->parentWidget();
    EXPECT_EQ(client->size(), QSize(956, 691));
    EXPECT_EQ(dialog->height(), 691 + dialog->findChild<QMenuBar*>()->height());
    struct Case {
        int id;
        QRect pixels;
    };
    const Case cases[] = {
        {kIdExit, {842, 658, 100, 25}},         {kIdTemplate, {12, 14, 930, 368}}, {kIdLoopCount, {116, 422, 46, 21}},
        {kIdAutoSave, {12, 469, 208, 21}},      {kIdTab, {266, 399, 412, 243}},    {kIdOutput, {702, 399, 240, 243}},
        {kIdSaveSettings, {640, 658, 182, 25}}, {kIdExecute, {12, 604, 238, 37}},
    };
    for (const Case& c : cases) EXPECT_EQ(dialog->GetDlgItem(c.id)->geometry(), c.pixels) << c.id;
    // Away from the buttons, "変換実行" is the default one (a focused button stands in for it, as on Windows).
    dialog->GetDlgItem(kIdTemplate)->setFocus();
    EXPECT_FALSE(control<QPushButton>(kIdExit)->isDefault());
    EXPECT_TRUE(control<QPushButton>(kIdExecute)->isDefault());
    EXPECT_NE(control<OutputView>(kIdOutput), nullptr);  // read-only by its kind
    EXPECT_FALSE(control<QPlainTextEdit>(kIdTemplate)->isReadOnly());
    EXPECT_EQ(control<QCheckBox>(kIdAutoSave)->text(), QStringLiteral("終了時に自動的に保存する"));
}

TEST_F(Startup, menuBar_hasItemsWithIdsAndCaptionsInOrder) {
    writeSettingsWithFont("");
    create();
    const QList<QAction*> popups = dialog->findChild<QMenuBar*>()->actions();
    const QStringList popupCaptions{"処理(&P)", "ツール(&T)", "ヘルプ(&H)"};
    ASSERT_EQ(popups.size(), popupCaptions.size());
    // 0 stands for a separator, or with a caption for a submenu.
    struct Item {
        int id;
        const char* caption;
        const char* keys = "";  // shown beside the caption
    };
    const std::vector<std::vector<Item>> items{
        {{kCmdExecute, "変換実行", "F5"},
         {kCmdClearEditArea, "文字列クリア"},
         {kCmdRestoreStrings, "初期化"},
         {kCmdSaveResult, "結果をファイルに保存(&F)..."},
         {kCmdSaveSettings, "現在の設定を保存する(&S)", "Ctrl+S"},
         {kCmdPasteTable, "表を貼り付け(&T)...", "Ctrl+Shift+V"},
         {kCmdOpenTableFile, "表ファイルを開く(&O)..."},
         {kCmdUndoTable, "表の取り込みを元に戻す(&U)", "Ctrl+Z"},
         {0, ""},
         {kCmdOpenSettings, "設定を開く(&O)...", "Ctrl+O"},
         {kCmdSaveSettingsAs, "設定に名前を付けて保存(&A)...", "Ctrl+Shift+S"},
         {0, "最近使った設定(&R)"},
         {0, "例から始める(&E)"},
         {kCmdCopyResult, "結果をコピー(&C)", "Ctrl+Shift+C"},
         {0, ""},
         {kCmdExit, "終了(&X)", "Alt+X"}},
        {{kCmdFontSettings, "置換元エディタのフォント設定"},
         {kCmdToggleBeep, "音声出力"},
         {kCmdToggleTray, "最小化時にタスクトレイに入れる"},
         {0, ""},
         {kCmdFormatSettings, "書式と繰り返しの設定(&F)..."},
         {kCmdOutputShape, "出力の形(&O)..."}},
        {{kCmdGuide, "使い方(&U)", "F1"}, {kCmdAbout, "バージョン情報(&A)", "Alt+A"}},
    };
    for (qsizetype p = 0; p < popups.size(); ++p) {
        EXPECT_EQ(popups[p]->text(), popupCaptions[p]);
        const QList<QAction*> actions = popups[p]->menu()->actions();
        const auto& expected = items[static_cast<std::size_t>(p)];
        ASSERT_EQ(static_cast<std::size_t>(actions.size()), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const QAction* action = actions[static_cast<qsizetype>(i)];
            if (expected[i].id == 0) {
                EXPECT_EQ(action->isSeparator(), *expected[i].caption == '\0');
                EXPECT_EQ(action->text(), QString::fromUtf8(expected[i].caption));
                EXPECT_EQ(action->menu() != nullptr, *expected[i].caption != '\0');
                continue;
            }
            EXPECT_EQ(action->text(), QString::fromUtf8(expected[i].caption));
            EXPECT_EQ(action->shortcut().toString(QKeySequence::PortableText), expected[i].keys);
            EXPECT_EQ(dialog->GetMenuItem(expected[i].id), action);
        }
    }
}

TEST_F(Startup, openingAMenu_leavesItsMarksAsTheyWereSet) {
    writeSettingsWithFont("Beep=1\r\n");
    createAndShow();
    // The marks follow the flags only when the program sets them, never when a menu opens.
    ConverterDialogTestAccess::setFlagsWithoutMarks(*dialog, 0, 1);
    QMenu* menu = qobject_cast<QMenu*>(dialog->GetMenuItem(kCmdToggleBeep)->parent());
    ASSERT_NE(menu, nullptr);
    menu->popup(dialog->mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    EXPECT_TRUE(dialog->GetMenuItem(kCmdToggleBeep)->isChecked());
    EXPECT_FALSE(dialog->GetMenuItem(kCmdToggleTray)->isChecked());
    menu->close();
}

TEST_F(Startup, tabs_areInsertedAndTheNumericPageShows) {
    writeSettingsWithFont("");
    createAndShow();
    ASSERT_NE(dialog->tabControl(), nullptr);
    EXPECT_EQ(dialog->tabControl(), dialog->GetDlgItem(kIdTab));
    ASSERT_EQ(dialog->tabControl()->GetItemCount(), 10);
    const QStringList texts{"数値", "配列1", "配列2", "配列3", "配列4", "配列5", "配列6", "配列7", "配列8", "配列9"};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(dialog->tabControl()->tabBar()->tabText(i), texts[i]);
    EXPECT_EQ(dialog->tabControl()->GetCurSel(), 0);
    EXPECT_EQ(dialog->currentTab(), 0);
    EXPECT_TRUE(dialog->numericPage().isVisible());
    for (const ArrayPage& page : dialog->arrayPages()) EXPECT_FALSE(page.isVisible());

    // Every page lies on the tab control's display area, inside the control and below its tabs.
    const QRect tab = dialog->tabControl()->geometry();
    const QRect area = dialog->numericPage().geometry();
    EXPECT_TRUE(tab.contains(area));
    EXPECT_GT(area.top(), tab.top() + dialog->tabControl()->tabBar()->height() - 1);
    for (const ArrayPage& page : dialog->arrayPages()) EXPECT_EQ(page.geometry(), area);
    EXPECT_EQ(dialog->tabControl()->AdjustRect(true, area), tab);
}

}  // namespace
}  // namespace ravolin
