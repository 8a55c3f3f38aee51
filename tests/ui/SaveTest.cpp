#include <cstdio>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

#include <QPushButton>

#include "settings/SettingsStore.h"
#include "tests/ui/DialogFixture.h"
#include "ui/DialogTexts.h"

namespace ravolin {
namespace {

class Saving : public DialogFixture {
protected:
    void createWith(const std::string& common) {
        writeSettingsWithFont(common);
        createAndShow();
    }

    // What the next start would read from `path`.
    Document stored() const {
        Document s;
        loadSettingsFile(dir.settingsPath(), s);
        return s;
    }
    std::size_t storedKeyCount() const {
        const std::string bytes = dir.readSettingsBytes();
        std::size_t keys = 0;
        for (std::size_t at = bytes.find('='); at != std::string::npos; at = bytes.find('=', at + 1)) ++keys;
        return keys;
    }

    void clickSave() {
        QWidget* save = dialog->GetDlgItem(kIdSaveSettings);
        ASSERT_TRUE(save->isEnabled());
        QTest::mouseClick(save, Qt::LeftButton);
    }
    void clickExit() { QTest::mouseClick(dialog->GetDlgItem(kIdExit), Qt::LeftButton); }
    void setCounterToken(int r, const std::string& token) {
        dialog->numericPage().SetDlgItemText(numericTokenId(r), token);
    }
};

TEST_F(Saving, saveButton_storesWhatTheControlsShow_withoutAMessage_andClearsUnsaved) {
    createWith("Beep=1\r\nTray=1\r\n");
    runToEnd();
    ASSERT_EQ(dialog->unsaved(), 1);
    dialog->SetDlgItemText(kIdTemplate, "first\r\nsecond");
    dialog->SetDlgItemText(kIdLoopCount, "abc");
    setCounterToken(1, "＃");
    dialog->numericPage().SetDlgItemText(numericInitialId(1), " 7");
    dialog->numericPage().SetDlgItemText(numericIncrementId(1), "-3");
    dialog->arrayPages()[2].SetDlgItemText(kIdArrayToken, "色");
    dialog->arrayPages()[2].SetDlgItemText(kIdArrayValues, "red\r\n\r\nblue");

    clickSave();
    EXPECT_TRUE(messageBox.calls().empty());
    EXPECT_EQ(dialog->unsaved(), 0);
    EXPECT_EQ(dialog->documentShown().window.loopCount, 0);
    EXPECT_EQ(record.counters[1].token, "＃");

    const Document s = stored();
    EXPECT_EQ(s.window.loopCount, 0);
    EXPECT_EQ(s.window.beep, 1);
    EXPECT_EQ(s.window.tray, 1);
    EXPECT_EQ(s.window.autoSave, 0);
    EXPECT_EQ(s.window.font, dialog->documentShown().window.font);
    EXPECT_EQ(s.window.templateText, "first\r\nsecond");
    EXPECT_EQ(s.record.counters[1].token, "＃");
    EXPECT_EQ(s.record.counters[1].initialValue, 7);
    EXPECT_EQ(s.record.counters[1].increment, -3);
    EXPECT_EQ(s.record.counters[0].token, "＜置換1＞");
    EXPECT_EQ(s.record.arrays[2].token, "色");
    EXPECT_EQ(s.record.arrays[2].valuesText, "red\r\n\r\nblue");
    EXPECT_EQ(storedKeyCount(), 39u);
}

// The failures a save can meet even as root: a path under a regular file, a directory where the file goes.
TEST_F(Saving, failedSave_isReportedWithFileAndReason_andChangesNothing) {
    struct Case {
        const char* name;
        std::string path;
        std::string reason;
        bool refusedAtStart;  // something stands at the path that can't be loaded
    };
    const std::string blocker = dir.directory() + "/blocker";
    std::ofstream(blocker) << "a regular file";
    ASSERT_EQ(mkdir((dir.directory() + "/taken").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((dir.directory() + "/taken/RavolinSetting.ini").c_str(), 0700), 0);
    const Case cases[] = {
        {"parent is a file", blocker + "/RavolinSetting.ini",
         "現在のファイルを読み込めません（パスの途中にフォルダーではないものがあります）", false},
        {"directory at the file's path", dir.directory() + "/taken/RavolinSetting.ini",
         "現在のファイルを読み込めません（フォルダーです）", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.refusedAtStart) messageBox.scriptAnswer(IDOK);
        messageBox.scriptAnswer(IDOK);  // nothing loads, so the font falls back with its notice
        create(c.path);
        show();
        runToEnd();
        setCounterToken(0, "edited");
        dialog->SetDlgItemText(kIdLoopCount, "12");
        const std::size_t before = messageBox.calls().size();
        messageBox.scriptAnswer(IDOK);
        clickSave();
        ASSERT_EQ(messageBox.calls().size(), before + 1);
        const MessageBoxCall& call = messageBox.calls().back();
        EXPECT_EQ(call.caption, "警告");
        EXPECT_EQ(call.type, MB_OK | MB_ICONEXCLAMATION);
        EXPECT_EQ(call.owner, dialog.get());
        EXPECT_EQ(call.text, "設定を保存できませんでした。\r\n\r\nファイル: " + c.path + "\r\n理由: " + c.reason);
        EXPECT_EQ(dialog->unsaved(), 1);
        EXPECT_EQ(dialog->GetDlgItemText(kIdLoopCount), "0");  // the count the file holds (none: the default)
        // The record still holds what was loaded: restoring brings that back, not the unsaved edit.
        messageBox.scriptAnswer(IDYES);
        dialog->OnRestoreReplacementStrings();
        EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericTokenId(0)), "＜置換1＞");
        dialog.reset();
    }
}

TEST_F(Saving, failedAutoSaveAtExit_asksWhetherToExitAnyway_NoKeepsTheWindow) {
    const std::string blocker = dir.directory() + "/blocker";
    std::ofstream(blocker) << "a regular file";
    const std::string path = blocker + "/RavolinSetting.ini";
    messageBox.scriptAnswer(IDOK);
    create(path);
    show();
    QTest::mouseClick(dialog->GetDlgItem(kIdAutoSave), Qt::LeftButton);
    ASSERT_EQ(dialog->documentShown().window.autoSave, 1);
    dialog->SetDlgItemText(kIdTemplate, "kept");

    for (const int answer : {IDNO, IDYES}) {
        const std::size_t before = messageBox.calls().size();
        messageBox.scriptAnswer(answer);
        clickExit();
        ASSERT_EQ(messageBox.calls().size(), before + 1);
        const MessageBoxCall& call = messageBox.calls().back();
        EXPECT_EQ(call.caption, "確認");
        EXPECT_EQ(call.type, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);  // Enter keeps what was typed
        EXPECT_EQ(call.text,
                  "設定を保存できませんでした。\r\n\r\nファイル: " + path +
                      "\r\n理由: 現在のファイルを読み込めません（パスの途中にフォルダーではないものがあります）"
                      "\r\n\r\n保存せずに終了しますか？");
        if (answer == IDNO) {
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "kept");
        } else {
            EXPECT_TRUE(ended());
        }
    }
}

TEST_F(Saving, exitPaths_askOnlyAfterAnUnsavedRun_andSaveOnlyWithAutoSave) {
    struct Case {
        const char* name;
        const char* common;
        std::function<void()> before;
        std::vector<int> answers;  // to the unsaved question, one per exit attempt
        bool ends;
        bool written;  // the exit itself wrote the file
        std::int32_t storedAutoSave;
    };
    const auto run = [this] { runToEnd(); };
    const auto runAndSave = [this] {
        runToEnd();
        clickSave();
    };
    const Case cases[] = {
        // Typed work is guarded like a run: any stored field changed since the load or the last save.
        {"auto-save off, template edited, No",
         "",
         [this] { dialog->SetDlgItemText(kIdTemplate, "edited"); },
         {IDNO},
         false,
         false,
         0},
        {"auto-save off, array value edited, Yes",
         "",
         [this] { dialog->arrayPages()[4].SetDlgItemText(kIdArrayValues, "v"); },
         {IDYES},
         true,
         false,
         0},
        {"auto-save off, counter edited and saved",
         "",
         [this] {
             dialog->numericPage().SetDlgItemText(numericInitialId(2), "9");
             clickSave();
         },
         {},
         true,
         false,
         0},
        {"auto-save off, edited and put back",
         "",
         [this] {
             const std::string loop = dialog->GetDlgItemText(kIdLoopCount);
             dialog->SetDlgItemText(kIdLoopCount, "12");
             dialog->SetDlgItemText(kIdLoopCount, loop);
         },
         {},
         true,
         false,
         0},
        {"auto-save off, after a run, No", "", run, {IDNO}, false, false, 0},
        {"auto-save off, after a run, Yes", "", run, {IDYES}, true, false, 0},
        {"after a run and a save", "", runAndSave, {}, true, false, 0},
        {"run, save, run",
         "",
         [&] {
             runAndSave();
             runToEnd();
         },
         {IDYES},
         true,
         false,
         0},
        {"auto-save on, right after start", "AutoSave=1\r\n", [] {}, {}, true, true, 1},
        {"auto-save on, after a run", "AutoSave=1\r\n", run, {}, true, true, 1},
        {"stored auto-save 2", "AutoSave=2\r\n", run, {}, true, true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        createWith(c.common);
        c.before();
        const std::string fileBefore = dir.readSettingsBytes();
        const std::string outputBefore = dialog->GetDlgItemText(kIdOutput);
        const std::string templateBefore = dialog->GetDlgItemText(kIdTemplate);
        const std::size_t callsBefore = messageBox.calls().size();
        for (int answer : c.answers) messageBox.scriptAnswer(answer);

        clickExit();
        ASSERT_EQ(messageBox.calls().size() - callsBefore, c.answers.size());
        for (std::size_t i = callsBefore; i < messageBox.calls().size(); ++i) {
            const MessageBoxCall& call = messageBox.calls()[i];
            EXPECT_EQ(call.text, "現在の設定は保存されていません。\r\n終了しますか？");
            EXPECT_EQ(call.caption, "確認");
            EXPECT_EQ(call.type, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);  // Enter keeps what was typed
            EXPECT_EQ(call.owner, dialog.get());
        }
        EXPECT_EQ(ended(), c.ends);
        if (!c.ends) {
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), outputBefore);
            EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), templateBefore);
            EXPECT_EQ(dialog->unsaved(), 1);
        }
        EXPECT_EQ(dir.readSettingsBytes() != fileBefore, c.written);
        if (c.written) {
            EXPECT_EQ(storedKeyCount(), 39u);
            EXPECT_EQ(stored().window.autoSave, c.storedAutoSave);
        }
        dialog.reset();
    }
}

TEST_F(Saving, storedAutoSaveTwo_showsTheBoxClearedAndTheSaveButtonOn) {
    createWith("AutoSave=2\r\n");
    EXPECT_FALSE(dialog->IsDlgButtonChecked(kIdAutoSave));
    EXPECT_TRUE(dialog->GetDlgItem(kIdSaveSettings)->isEnabled());
    EXPECT_EQ(dialog->documentShown().window.autoSave, 2);
}

TEST_F(Saving, textsStoredOtherThanTheyStand_areNamedAfterTheSave) {
    createWith("AutoSave=0\r\n");
    setCounterToken(0, "ABCDEFGHIJKLMNOPQRST");
    dialog->SetDlgItemText(kIdTemplate, std::string(5000, 'x'));
    dialog->arrayPages()[1].SetDlgItemText(kIdArrayValues, "a😀b");
    changeDocument(*dialog, [](Document& d) { d.window.shape.footer = "😀;"; });
    const char* expected =
        "設定を保存しましたが、次の項目はそのままの形では保存できませんでした。\r\n"
        "\r\n・[数値] 1 行目の置換文字列: 15 バイトに収まるよう短くしました"
        "\r\n・[出力の形] 末尾: 保存できない文字を「?」に置き換えました"
        "\r\n・置換元エディタ: 4095 バイトを超える部分は次回の起動時に読み込まれません"
        "\r\n・[配列2] 値: 保存できない文字を「?」に置き換えました";

    messageBox.scriptAnswer(IDOK);
    clickSave();
    ASSERT_EQ(messageBox.calls().size(), 1u);
    EXPECT_EQ(messageBox.calls()[0].text, expected);
    EXPECT_EQ(messageBox.calls()[0].caption, "警告");
    EXPECT_EQ(messageBox.calls()[0].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(record.counters[0].token, "ABCDEFGHIJKLMNO");
    EXPECT_EQ(stored().record.counters[0].token, "ABCDEFGHIJKLMNO");
    EXPECT_EQ(stored().record.arrays[1].valuesText, "a?b");
    EXPECT_EQ(stored().window.shape.footer, "?;");

    // Auto-save at exit says so too, then ends.
    QTest::mouseClick(dialog->GetDlgItem(kIdAutoSave), Qt::LeftButton);
    messageBox.scriptAnswer(IDOK);
    clickExit();
    ASSERT_EQ(messageBox.calls().size(), 2u);
    EXPECT_EQ(messageBox.calls()[1].text, expected);
    EXPECT_TRUE(ended());
}

// A stored text a load read only in part, cut by the save; a file the save would take past the read cap.
TEST_F(Saving, aSaveThatCutsAStoredTextOrWouldPassTheReadCap_saysSoInAWarning) {
    const std::string common = "AutoSave=0\r\n";
    const std::string head =
        "[Common]\r\nFont=" + std::string(kValidFontDescription) + "\r\n" + common + "[Other]\r\nx=";
    struct Case {
        const char* name;
        std::string rest;
        std::string said;
        bool written;
    };
    const Case cases[] = {
        {"stored template past the read limit", "[Edit]\r\nOrigin=" + std::string(5000, 'x') + "\r\n",
         "設定を保存しましたが、次の項目はそのままの形では保存できませんでした。\r\n"
         "\r\n・置換元エディタ: 設定ファイルにあった 4095 バイトを超える部分を削除しました",
         true},
        {"near the read cap", "[Other]\r\nx=" + std::string(kSettingsFileMaxBytes - 100 - head.size(), 'y'),
         "設定を保存できませんでした。\r\n\r\nファイル: " + dir.settingsPath() +
             "\r\n理由: 保存後のファイルが大きすぎます（8 MB を超えています）\r\n\r\n"
             "8 MB "
             "を超える設定ファイルは次回の起動時に読み込めないため、保存を取りやめました。ファイルは変更していません。"
             "\r\n"
             "置換元エディタや配列の値を短くするか、ほかのプログラムが書き込んだ項目を設定ファイルから削除してください"
             "。",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeSettingsWithFont(common, c.rest);
        const std::string before = dir.readSettingsBytes();
        createAndShow();
        const std::size_t callsBefore = messageBox.calls().size();
        messageBox.scriptAnswer(IDOK);
        clickSave();
        ASSERT_EQ(messageBox.calls().size(), callsBefore + 1);
        EXPECT_EQ(messageBox.calls().back().text, c.said);
        EXPECT_EQ(messageBox.calls().back().caption, "警告");
        EXPECT_EQ(dir.readSettingsBytes() != before, c.written);
        dialog.reset();
    }
}

// A file the start could not take is never replaced by the defaults shown in its place, even once it could be
// read; one removed since is written as at a first start.
TEST_F(Saving, afterARefusedLoad_aSaveLeavesTheFileThatCameBackReadable_butWritesAFreshOne) {
    const std::string small = "[Common]\r\nFont=" + std::string(kValidFontDescription) + "\r\nLoop=42\r\n";
    for (const bool removed : {false, true}) {
        SCOPED_TRACE(removed ? "removed" : "readable again");
        dir.writeSettings(small + "[Other]\r\nx=" + std::string(kSettingsFileMaxBytes, 'y') + "\r\n");
        const std::size_t before = messageBox.calls().size();
        messageBox.scriptAnswer(IDOK);  // the refusal
        messageBox.scriptAnswer(IDOK);  // the font the defaults lack
        createAndShow();
        ASSERT_EQ(messageBox.calls().size(), before + 2);
        EXPECT_NE(messageBox.calls()[before].text.find("8 MB を超えています"), std::string::npos);
        if (removed)
            std::remove(dir.settingsPath().c_str());
        else
            dir.writeSettings(small);
        if (!removed) messageBox.scriptAnswer(IDOK);
        clickSave();
        ASSERT_EQ(messageBox.calls().size(), before + (removed ? 2 : 3));
        if (!removed) {
            EXPECT_EQ(messageBox.calls().back().text.rfind("設定を保存できませんでした。", 0), 0u);
        }
        Document defaults;
        loadSettingsBytes("", defaults);
        EXPECT_EQ(stored().window.loopCount, removed ? defaults.window.loopCount : 42);
        dialog.reset();
    }
}

// The end of the session asks nothing: with auto-save on the fields are saved, during a run as well, and
// what a box would say goes to standard error; without auto-save nothing is written.
TEST_F(Saving, endOfSession_savesTheFieldsOnlyWithAutoSave_andAsksNothing) {
    struct Case {
        const char* name;
        std::int32_t autoSave;
        bool duringRun;
        const char* token;  // of counter 1
        bool unwritable;    // the path lies under a regular file
        bool written;
        std::string said;  // the start of what goes to standard error
    };
    const Case cases[] = {
        {"auto-save off", 0, false, "NN", false, false, ""},
        {"auto-save off, during a run", 0, true, "NN", false, false, ""},
        {"auto-save on", 1, false, "NN", false, true, ""},
        {"stored auto-save 2", 2, false, "NN", false, true, ""},
        {"auto-save on, during a run", 1, true, "NN", false, true, ""},
        {"auto-save on, a token cut", 1, false, "ABCDEFGHIJKLMNOPQRST", false, true,
         "ravolin: 設定を保存しましたが、次の項目はそのままの形では保存できませんでした。\n\n・[数値] 1 行目"},
        {"auto-save on, the save fails", 1, false, "NN", true, false,
         "ravolin: 設定を保存できませんでした。\n\nファイル: " + dir.directory() +
             "/blocker/RavolinSetting.ini\n理由: "},
    };
    std::ofstream(dir.directory() + "/blocker") << "a regular file";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeSettingsWithFont("AutoSave=" + std::to_string(c.autoSave) + "\r\n");
        if (c.unwritable) messageBox.scriptAnswer(IDOK);  // nothing loads: the font's notice
        create(c.unwritable ? dir.directory() + "/blocker/RavolinSetting.ini" : std::string());
        changeDocument(*dialog, [&c](Document& d) { d.window.autoSave = c.autoSave; });
        if (c.duringRun) startHeldRun();
        dialog->SetDlgItemText(kIdTemplate, "typed\r\nwork");
        setCounterToken(0, c.token);
        const std::string fileBefore = dir.readSettingsBytes();
        const std::size_t callsBefore = messageBox.calls().size();

        std::ostringstream said;
        dialog->OnEndSession(said);
        EXPECT_EQ(messageBox.calls().size(), callsBefore);
        EXPECT_EQ(said.str().substr(0, c.said.size()), c.said);
        EXPECT_EQ(said.str().empty(), c.said.empty()) << said.str();
        EXPECT_EQ(dialog->isRunning(), c.duringRun);
        if (c.written) {
            EXPECT_EQ(stored().window.templateText, "typed\r\nwork");
            EXPECT_EQ(stored().record.counters[0].token, std::string(c.token).substr(0, 15));
            EXPECT_EQ(stored().window.autoSave, c.autoSave);
        } else {
            EXPECT_EQ(dir.readSettingsBytes(), fileBefore);
        }
        beepGate.open();
        ASSERT_TRUE(eventually([this] { return !dialog->isRunning(); }));
        beepGate.close();
        dialog.reset();
    }
}

}  // namespace
}  // namespace ravolin
