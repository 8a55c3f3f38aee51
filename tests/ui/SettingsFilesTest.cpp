#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

#include "platform/core/Codec.h"
#include "settings/Examples.h"
#include "settings/RecentFiles.h"
#include "settings/SettingsStore.h"
#include "tests/ui/DialogFixture.h"
#include "ui/DialogTexts.h"

namespace ravolin {
namespace {

// Settings files of any name: open, save under a name, the recent list, the examples, drops and the copy.
class SettingsFiles : public DialogFixture {
protected:
    void SetUp() override {
        recentFilesFile = m_config.path() + "/recent-settings.txt";
        writeSettingsWithFont("Loop=7\r\n");
        m_startBytes = dir.readSettingsBytes();
    }

    // A settings file `name` in the working directory with `templateText` (ASCII) and a loop count of 3.
    std::string writeJob(const std::string& name, const std::string& templateText) const {
        const std::string path = dir.directory() + "/" + name;
        test::writeFile(path, utf8ToCp932("[Common]\r\nFont=" + std::string(kValidFontDescription) +
                                          "\r\nLoop=3\r\n[Edit]\r\nOrigin=" + templateText + "\r\n"));
        return path;
    }
    static std::string storedTemplate(const std::string& path) {
        Document stored;
        loadSettingsFile(path, stored);
        return stored.window.templateText;
    }
    std::vector<std::string> filesInWorkingDirectory() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.directory()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string title() const { return dialog->windowTitle().toStdString(); }
    void expectStartFileUntouched() const { EXPECT_EQ(dir.readSettingsBytes(), m_startBytes); }
    // The captions of the recent menu's file items, "-" before a grayed one.
    std::vector<std::string> recentItems() const {
        std::vector<std::string> items;
        for (int i = 0; i < kMaxRecentFiles; ++i) {
            if (const QAction* item = dialog->GetMenuItem(recentCommand(i)))
                items.push_back((item->isEnabled() ? "" : "-") + item->text().toStdString());
        }
        return items;
    }

    std::string m_startBytes;

private:
    test::TempDir m_config;
};

TEST_F(SettingsFiles, openedFileIsTheOneEverySaveWrites_andNothingElseIsWritten) {
    create();
    EXPECT_EQ(title(), "Ravolin");
    const std::string job = writeJob("名簿.ini", "opened");
    settingsFileChooser.scriptChoice(job);
    dialog->OnCommand(kCmdOpenSettings);
    EXPECT_EQ(settingsFileChooser.calls(), std::vector<std::string>{"open " + dir.directory()});
    EXPECT_EQ(title(), "Ravolin - 名簿.ini");
    EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "opened");
    EXPECT_EQ(dialog->GetDlgItemText(kIdLoopCount), "3");
    EXPECT_EQ(dialog->settingsPath(), job);
    const std::vector<std::string> files = filesInWorkingDirectory();

    dialog->SetDlgItemText(kIdTemplate, "saved");
    dialog->OnCommand(kCmdSaveSettings);
    EXPECT_EQ(storedTemplate(job), "saved");
    dialog->SetDlgItemText(kIdTemplate, "auto-saved");
    changeDocument(*dialog, [](Document& d) { d.window.autoSave = 1; });
    dialog->OnOK();
    EXPECT_TRUE(ended());
    EXPECT_EQ(storedTemplate(job), "auto-saved");
    expectStartFileUntouched();
    EXPECT_EQ(filesInWorkingDirectory(), files);
    EXPECT_TRUE(messageBox.calls().empty());
}

TEST_F(SettingsFiles, saveAs_writesTheChosenFile_whichLaterSavesWrite_andACancelOrAFailureKeepsTheOldOne) {
    create();
    dialog->SetDlgItemText(kIdTemplate, "typed");
    settingsFileChooser.scriptCancel();
    dialog->OnCommand(kCmdSaveSettingsAs);
    settingsFileChooser.scriptChoice(dir.directory() + "/no-folder/x.ini");
    messageBox.scriptAnswer(IDOK);
    dialog->OnCommand(kCmdSaveSettingsAs);
    ASSERT_EQ(messageBox.calls().size(), 1u);
    EXPECT_EQ(messageBox.calls()[0].text.rfind("設定を保存できませんでした。", 0), 0u) << messageBox.calls()[0].text;
    EXPECT_EQ(title(), "Ravolin");
    EXPECT_EQ(dialog->settingsPath(), dir.settingsPath());

    const std::string copy = dir.directory() + "/写し.ini";
    settingsFileChooser.scriptChoice(copy);
    dialog->OnCommand(kCmdSaveSettingsAs);
    EXPECT_EQ(storedTemplate(copy), "typed");
    EXPECT_EQ(title(), "Ravolin - 写し.ini - 設定を保存しました");
    dialog->SetDlgItemText(kIdTemplate, "again");
    dialog->OnCommand(kCmdSaveSettings);
    EXPECT_EQ(storedTemplate(copy), "again");
    expectStartFileUntouched();
    // The chooser suggests the start folder's file, then the file the window keeps.
    settingsFileChooser.scriptCancel();
    dialog->OnCommand(kCmdSaveSettingsAs);
    const std::string suggested = "save " + dir.settingsPath();
    EXPECT_EQ(settingsFileChooser.calls(), (std::vector<std::string>{suggested, suggested, suggested, "save " + copy}));
}

TEST_F(SettingsFiles, openingAsksAboutUnsavedWorkAsTheExitDoes) {
    struct Case {
        const char* name;
        bool edited;
        bool autoSave;
        int answer;  // 0: no question
        bool opened;
    };
    const Case cases[] = {
        {"nothing to lose", false, false, 0, true},
        {"いいえ keeps the work", true, false, IDNO, false},
        {"はい lets it go", true, false, IDYES, true},
        {"auto-save keeps it in its file", true, true, 0, true},
    };
    const std::string job = writeJob("job.ini", "job");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeSettingsWithFont("Loop=7\r\n");
        create();
        changeDocument(*dialog, [&c](Document& d) { d.window.autoSave = c.autoSave ? 1 : 0; });
        if (c.edited) dialog->SetDlgItemText(kIdTemplate, "work");
        const std::size_t before = messageBox.calls().size();
        if (c.answer) messageBox.scriptAnswer(c.answer);
        EXPECT_EQ(dialog->openSettingsFile(job), c.opened);
        ASSERT_EQ(messageBox.calls().size(), before + (c.answer ? 1 : 0));
        if (c.answer) {
            const MessageBoxCall& question = messageBox.calls().back();
            EXPECT_EQ(question.text, "現在の設定は保存されていません。\r\n保存せずにほかの設定を開きますか？");
            EXPECT_EQ(question.caption, "確認");
            EXPECT_EQ(question.type, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
        }
        EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), c.opened ? "job" : "work");
        EXPECT_EQ(title(), c.opened ? "Ravolin - job.ini" : "Ravolin *");
        EXPECT_EQ(storedTemplate(dir.settingsPath()), c.autoSave ? "work" : "");
    }
}

TEST_F(SettingsFiles, aFileThatCannotBeOpenedIsSaid_andTheWindowStaysAsItWas) {
    ASSERT_EQ(mkdir((dir.directory() + "/folder.ini").c_str(), 0700), 0);
    struct Case {
        std::string path;
        std::string text;
    };
    const Case cases[] = {
        {dir.directory() + "/gone.ini",
         "設定ファイルが見つからないため、開きませんでした。\r\n現在の設定はそのままです。\r\n\r\nファイル: " +
             dir.directory() + "/gone.ini"},
        {dir.directory() + "/folder.ini",
         "設定ファイルを読み込めないため、開きませんでした。\r\n現在の設定はそのままです。\r\n\r\nファイル: " +
             dir.directory() + "/folder.ini\r\n理由: フォルダーです"},
    };
    create();
    dialog->SetDlgItemText(kIdTemplate, "work");
    for (const Case& c : cases) {
        messageBox.scriptAnswer(IDOK);
        EXPECT_FALSE(dialog->openSettingsFile(c.path));
        ASSERT_FALSE(messageBox.calls().empty());
        EXPECT_EQ(messageBox.calls().back().text, c.text);
        EXPECT_EQ(messageBox.calls().back().caption, "警告");
        EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "work");
        EXPECT_EQ(dialog->settingsPath(), dir.settingsPath());
    }
    EXPECT_EQ(messageBox.calls().size(), 2u);  // no unsaved question before them
    EXPECT_EQ(recentItems(), std::vector<std::string>{"-（なし）"});
}

TEST_F(SettingsFiles, recentFiles_mostRecentFirst_atMostEight_goneOnesGrayed_clearedOnRequest) {
    create();
    std::vector<std::string> jobs;
    for (int i = 0; i < 9; ++i) jobs.push_back(writeJob("job" + std::to_string(i) + ".ini", "t" + std::to_string(i)));
    for (const std::string& job : jobs) ASSERT_TRUE(dialog->openSettingsFile(job));
    ASSERT_TRUE(dialog->openSettingsFile(jobs[3]));
    std::filesystem::remove(jobs[7]);
    emit qobject_cast<QMenu*>(dialog->GetMenuItem(kCmdClearRecent)->parent())->aboutToShow();
    const auto item = [&jobs](int n, int job) { return "&" + std::to_string(n) + " " + jobs[job]; };
    const std::vector<std::string> expected{item(1, 3), item(2, 8), "-" + item(3, 7), item(4, 6),
                                            item(5, 5), item(6, 4), item(7, 2),       item(8, 1)};
    EXPECT_EQ(recentItems(), expected);
    EXPECT_EQ(readRecentFiles(recentFilesFile).size(), kRecentFilesMax);

    // The list outlives the window; an item opens its file, and the chooser starts in the last one's folder.
    dialog.reset();
    create();
    EXPECT_EQ(recentItems(), expected);
    dialog->OnCommand(recentCommand(4));
    EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "t5");
    settingsFileChooser.scriptCancel();
    dialog->OnCommand(kCmdOpenSettings);
    EXPECT_EQ(settingsFileChooser.calls().back(), "open " + dir.directory());

    EXPECT_TRUE(dialog->GetMenuItem(kCmdClearRecent)->isEnabled());
    dialog->OnCommand(kCmdClearRecent);
    EXPECT_EQ(recentItems(), std::vector<std::string>{"-（なし）"});
    EXPECT_FALSE(dialog->GetMenuItem(kCmdClearRecent)->isEnabled());
    EXPECT_TRUE(readRecentFiles(recentFilesFile).empty());
    expectStartFileUntouched();
}

TEST_F(SettingsFiles, aFileNamedToStartWithIsTitled_andOneThatIsMissingComesUpWithTheDefaultsAndSaysSo) {
    const std::string job = writeJob("job.ini", "named");
    create(job, true);
    EXPECT_EQ(title(), "Ravolin - job.ini");
    EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "named");
    EXPECT_EQ(recentItems(), std::vector<std::string>{"&1 " + job});

    const std::string fresh = dir.directory() + "/new.ini";
    messageBox.scriptAnswer(IDOK);
    create(fresh, true);
    ASSERT_EQ(messageBox.calls().size(), 1u);
    EXPECT_EQ(messageBox.calls()[0].text,
              "設定ファイルが見つからないため、既定の設定で始めます。\r\n"
              "保存するとこのファイルを作成します。\r\n\r\nファイル: " +
                  fresh);
    EXPECT_EQ(messageBox.calls()[0].caption, "情報");
    EXPECT_EQ(title(), "Ravolin - new.ini");
    EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "");
    dialog->SetDlgItemText(kIdTemplate, "first");
    dialog->OnCommand(kCmdSaveSettings);
    EXPECT_EQ(storedTemplate(fresh), "first");
    expectStartFileUntouched();
}

TEST_F(SettingsFiles, eachExampleFillsTheWindowUnsaved_keepsItsOptionsAndFile_andRunsToItsOutput) {
    struct Case {
        const char* output;
    };
    const Case cases[] = {
        {"INSERT INTO users (id, name) VALUES (1, '佐藤 花子');\n"
         "INSERT INTO users (id, name) VALUES (2, '鈴木 一郎');\n"
         "INSERT INTO users (id, name) VALUES (3, '高橋 美咲');\n"
         "INSERT INTO users (id, name) VALUES (4, 'O''Brien');\n"
         "INSERT INTO users (id, name) VALUES (5, '田中 健');"},
        {"photo_001.jpg\nphoto_002.jpg\nphoto_003.jpg\nphoto_004.jpg\nphoto_005.jpg\nphoto_006.jpg\n"
         "photo_007.jpg\nphoto_008.jpg\nphoto_009.jpg\nphoto_010.jpg\nphoto_011.jpg\nphoto_012.jpg"},
        {"<li><a href=\"#item1\">はじめに</a></li>\n"
         "<li><a href=\"#item2\">Q&amp;A</a></li>\n"
         "<li><a href=\"#item3\">&lt;script&gt; タグの書き方</a></li>\n"
         "<li><a href=\"#item4\">お問い合わせ</a></li>"},
        // Past 昭和の日 and the holidays of early May, and the weekends.
        {"2027/04/28(水) 第1回 定例ミーティング\n2027/04/30(金) 第2回 定例ミーティング\n"
         "2027/05/06(木) 第3回 定例ミーティング\n2027/05/07(金) 第4回 定例ミーティング\n"
         "2027/05/10(月) 第5回 定例ミーティング\n2027/05/11(火) 第6回 定例ミーティング\n"
         "2027/05/12(水) 第7回 定例ミーティング\n2027/05/13(木) 第8回 定例ミーティング\n"
         "2027/05/14(金) 第9回 定例ミーティング\n2027/05/17(月) 第10回 定例ミーティング"},
    };
    ASSERT_EQ(std::size(cases), kExampleCount);
    create();
    EXPECT_EQ(dialog->GetMenuItem(exampleCommand(static_cast<int>(kExampleCount))), nullptr);
    changeDocument(*dialog, [](Document& d) { d.window.beep = 1; });
    const std::vector<std::string> files = filesInWorkingDirectory();
    for (std::size_t i = 0; i < kExampleCount; ++i) {
        SCOPED_TRACE(i);
        // The first replaces nothing unsaved; each later one replaces the run before it, after the question.
        if (i > 0) messageBox.scriptAnswer(IDYES);
        ASSERT_NE(dialog->GetMenuItem(exampleCommand(static_cast<int>(i))), nullptr);
        dialog->OnCommand(exampleCommand(static_cast<int>(i)));
        EXPECT_EQ(title(), "Ravolin *");
        EXPECT_EQ(dialog->outputText(), "");
        runToEnd();
        EXPECT_EQ(dialog->outputText().toStdString(), cases[i].output);
        EXPECT_EQ(dialog->documentShown().window.beep, 1);
    }
    EXPECT_EQ(dialog->settingsPath(), dir.settingsPath());
    EXPECT_EQ(filesInWorkingDirectory(), files);
    expectStartFileUntouched();
    EXPECT_EQ(messageBox.calls().size(), kExampleCount - 1);
}

TEST_F(SettingsFiles, droppedFiles_aSettingsFileOpens_aTextFileOnAValueListFillsIt_othersAreLeftAlone) {
    const std::string job = writeJob("dropped.ini", "from drop");
    const std::string names = dir.directory() + "/names.txt";
    test::writeFile(names, utf8ToCp932("佐藤\r\n鈴木\n高橋\n"));
    const std::string picture = dir.directory() + "/picture.png";
    test::writeFile(picture, "png");
    struct Case {
        const char* name;
        std::string file;
        int array;           // the value list dropped on (0-8), or -1 for the template editor
        const char* before;  // the list's values before
        int answer;          // 0: no question
        bool taken;
        const char* values;  // the list's values after
    };
    const Case cases[] = {
        {"a text file into an empty list, CP932 read", names, 1, "", 0, true, "佐藤\r\n鈴木\r\n高橋"},
        {"replacing asks; いいえ keeps", names, 2, "x", IDNO, true, "x"},
        {"replacing asks; はい replaces", names, 2, "x", IDYES, true, "佐藤\r\n鈴木\r\n高橋"},
        // A text file elsewhere is a table for the table import (its own tests).
        {"another kind of file on the editor: not even its name is typed", picture, -1, "", 0, false, ""},
        {"another kind of file", picture, 3, "", 0, false, ""},
        {"a settings file, anywhere, after the unsaved question", job, 4, "", IDYES, true, ""},
    };
    create();
    show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t index = c.array < 0 ? 0 : static_cast<std::size_t>(c.array);
        dialog->arrayPages()[index].SetDlgItemText(kIdArrayValues, c.before);
        auto* editor = qobject_cast<QPlainTextEdit*>(
            c.array < 0 ? dialog->GetDlgItem(kIdTemplate) : dialog->arrayPages()[index].GetDlgItem(kIdArrayValues));
        const std::string templateBefore = dialog->GetDlgItemText(kIdTemplate);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(c.file))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor->viewport(), &enter);
        EXPECT_EQ(enter.isAccepted(), c.taken);
        if (c.answer) messageBox.scriptAnswer(c.answer);
        const std::size_t before = messageBox.calls().size();
        const QString editorBefore = editor->toPlainText();
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor->viewport(), &drop);
        EXPECT_EQ(drop.isAccepted(), c.taken);
        if (!c.taken) {
            QCoreApplication::processEvents();
            EXPECT_EQ(editor->toPlainText(), editorBefore);
            EXPECT_EQ(messageBox.calls().size(), before);
            continue;
        }
        if (c.file == job) {
            ASSERT_TRUE(eventually([this] { return title() == "Ravolin - dropped.ini"; })) << title();
            EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "from drop");
            continue;
        }
        // The drop is done once it has returned: the question, then the values.
        ASSERT_TRUE(eventually([&] {
            return messageBox.calls().size() == before + (c.answer ? 1 : 0) &&
                   dialog->arrayPages()[index].GetDlgItemText(kIdArrayValues) == c.values;
        })) << dialog->arrayPages()[index].GetDlgItemText(kIdArrayValues);
        if (c.answer) {
            EXPECT_EQ(messageBox.calls().back().text, "配列3 には値が入っています。ファイルの値で置き換えますか？");
        }
        EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), templateBefore);
    }
}

TEST_F(SettingsFiles, copyResult_putsTheWholeOutputWithLfOnTheClipboard_andSaysHowMuch) {
    create();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    dialog->OnCommand(kCmdCopyResult);
    EXPECT_EQ(dialog->statusShown().toStdString(), "コピーする結果がありません");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");

    struct Case {
        std::string templateText;
        int loops;
        std::string status;
    };
    const Case cases[] = {
        {"a＜置換1＞", 3, "3 行（8 バイト）をコピーしました"},
        {std::string(1023, 'x'), 1200, "1,200 行（1.2 MB）をコピーしました"},
    };
    for (const Case& c : cases) {
        changeDocument(*dialog, [&c](Document& d) {
            d.window.templateText = c.templateText;
            d.window.loopCount = c.loops;
        });
        runToEnd();
        EXPECT_EQ(dialog->GetMenuItem(kCmdCopyResult)->shortcut().toString(), "Ctrl+Shift+C");
        dialog->OnCommand(kCmdCopyResult);
        const QString copied = QGuiApplication::clipboard()->text();
        EXPECT_EQ(copied, dialog->outputText());
        EXPECT_FALSE(copied.contains('\r'));
        EXPECT_EQ(copied.count('\n'), c.loops - 1);
        EXPECT_EQ(dialog->statusShown().toStdString(), c.status);
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text().left(8), "xxxxxxxx");
}

}  // namespace
}  // namespace ravolin
