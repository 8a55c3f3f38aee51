#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/core/FileAccessTesting.h"
#include "tests/ui/DialogFixture.h"
#include "testsupport/core/TestFiles.h"
#include "ui/DialogTexts.h"
#include "ui/ResultFileWriter.h"
#include "ui/TableImportDialog.h"

namespace ravolin {
namespace {

namespace fs = std::filesystem;

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// What the hook between the flush and the rename does: sets the cancel it points to, and stops at the gate it
// points to.
std::atomic<bool>* g_cancelAtRename = nullptr;
Gate* g_gateAtRename = nullptr;
std::atomic<bool> g_atRename = false;

void atRename() {
    g_atRename = true;
    if (g_cancelAtRename) *g_cancelAtRename = true;
    if (g_gateAtRename) g_gateAtRename->wait();
}

// The id of a process that has ended.
std::string goneProcess() {
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    return std::to_string(gone);
}

class SaveResult : public DialogFixture {
protected:
    // A save still going when a test stops early is cancelled, not left writing into the folder.
    void TearDown() override {
        if (QProgressDialog* progress = dialog ? progressDialog() : nullptr) {
            if (auto* cancel = progress->findChild<QPushButton*>()) cancel->click();
        }
        DialogFixture::TearDown();
    }

    // A template with counters and an array, Japanese text included, so encodings and line ends all show.
    void createWithExample(const std::string& loopCount) {
        writeSettingsWithFont("Loop=" + loopCount + "\r\n",
                              "[Edit]\r\nOrigin=INSERT INTO t VALUES (＜置換1＞, '＜配列1＞');\r\n"
                              "[Numerical]\r\nInit1=-2\r\nInc1=3\r\nWidth1=5\r\nFormat1=2\r\nRepeat1=2\r\n"
                              "[Arrangement]\r\nValue1=東京,大阪,,名古屋\r\nEnd1=1\r\n");
        createAndShow();
    }
    std::string target(const char* name = "result.txt") const { return dir.directory() + "/" + name; }
    // Chooses `choice` in the file dialog, starts the save and waits until it has ended.
    void saveToEnd(const ResultFileChoice& choice) {
        resultFileChooser.scriptChoice(choice);
        dialog->OnCommand(kCmdSaveResult);
        ASSERT_TRUE(eventually([this] { return !dialog->isRunning(); })) << "the save never ended";
    }
    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.directory())) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    QProgressDialog* progressDialog() const { return dialog->findChild<QProgressDialog*>(); }
};

TEST_F(SaveResult, writesWhatTheBatchToolWritesInEveryEncodingAndLineEnd) {
    createWithExample("7");
    // Every kind and a shuffled list too, each drawing from its own seed.
    changeDocument(*dialog, [](Document& d) {
        d.window.templateText = "(＜置換1＞, '＜配列1＞', ＜置換2＞, ＜置換3＞, ＜置換4＞, ＜置換5＞);";
        auto& c = d.record.counters;
        c[1].style = {.kind = kKindDate, .start = "2027/04/28", .unit = kUnitBusinessDay, .pattern = "m/d(aaa)"};
        c[2].style = {.format = kFormatKanji, .kind = kKindDecimal, .start = "-1.5", .step = "0.25"};
        c[3].style = {.format = kFormatCircled, .kind = kKindRandom, .seed = "7", .unique = 1};
        c[4].style = {.format = kFormatHexUpper, .kind = kKindUuid, .seed = "8"};
        d.record.arrays[0].style = {.end = kEndCycle, .order = kOrderShuffled, .seed = "9"};
        // The passes in a shape whose CR and LF meet across its pieces.
        d.window.shape = {"BEGIN;\r", "\n--\r", "\nCOMMIT;"};
    });
    dialog->OnSaveSettings();  // ravolin-expand reads the same fields from the file
    ASSERT_EQ(dialog->unsaved(), 0);
    struct Case {
        bool cp932, lf;
        QStringList options;
        std::int32_t beep;  // the option; only exactly 1 beeps at the end
    };
    const Case cases[] = {{false, false, {}, 0},
                          {true, false, {"--cp932"}, 1},
                          {false, true, {"--lf"}, 2},
                          {true, true, {"--cp932", "--lf"}, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        const std::size_t before = messageBox.calls().size();
        const std::size_t tonesBefore = tone.callCount();
        changeDocument(*dialog, [&c](Document& d) { d.window.beep = c.beep; });
        messageBox.scriptAnswer(IDOK);
        saveToEnd({.path = target(), .cp932 = c.cp932, .lfLineEnds = c.lf, .loopCount = 7});
        EXPECT_EQ(tone.callCount() - tonesBefore, c.beep == 1 ? 1u : 0u);
        QProcess expand;
        expand.start(RAVOLIN_EXPAND_PATH, QStringList(c.options) << QString::fromStdString(dir.settingsPath()));
        ASSERT_TRUE(expand.waitForFinished(20000));
        const QByteArray expected = expand.readAllStandardOutput();
        EXPECT_EQ(readBytes(target()), expected.toStdString());
        ASSERT_EQ(messageBox.calls().size(), before + 1);
        const MessageBoxCall& told = messageBox.calls().back();
        EXPECT_EQ(told.caption, "情報");
        // The progress has gone before the end is told: only the window is left behind the message.
        EXPECT_EQ(told.shownWindows, std::vector<std::string>{dialog->windowTitle().toStdString()});
        EXPECT_EQ(told.type, MB_OK | MB_ICONASTERISK);
        EXPECT_EQ(told.text, "変換結果を保存しました。\r\n\r\nファイル: " + target() +
                                 "\r\nサイズ: " + std::to_string(expected.size()) + " バイト");
    }
    // The chooser opens on the last choice and the window's loop count.
    ASSERT_EQ(resultFileChooser.calls().size(), 4u);
    EXPECT_EQ(resultFileChooser.calls()[3],
              (ResultFileChoice{.path = target(), .cp932 = false, .lfLineEnds = true, .loopCount = 7}));
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"RavolinSetting.ini", "result.txt"}));
}

// A table pasted through the window's dialog and the same table given to the batch tool, on the same settings,
// give the same bytes: the arrays it fills, the tokens of its header and the loop count, with the arrays' escapes.
TEST_F(SaveResult, aPastedTableGivesWhatTheBatchToolGivesForTheSameTable) {
    writeSettingsWithFont("Loop=5\r\n",
                          "[Edit]\r\nOrigin=＜置換1＞|＜配列1＞|'＜配列2＞'|＜配列3＞|名前 市\r\n"
                          "[Arrangement]\r\nValue1=old\r\nEscape1=2\r\nEscape2=1\r\nEscape3=3\r\n");
    createAndShow();
    // A spreadsheet's copy: a name with a quote, an empty cell, a cell with a line break, a header too long for a
    // token.
    constexpr char kTable[] =
        "名前\t市\tとても長い置換文字列です\r\nO'Brien\t\"Tokyo,\nJapan\"\r\n\t大阪\t\"say \"\"hi\"\"\"\r\n";
    const std::string tableFile = dir.directory() + "/table.txt";
    { std::ofstream(tableFile, std::ios::binary) << kTable; }
    struct Case {
        std::size_t first;
        bool header, fitLoop;
        QStringList options;
        std::vector<int> answers;  // the question for array 1's values, the notice of the cut token, the save's end
        std::string shows;         // passes of the output, so that an empty one can't pass
    };
    const Case cases[] = {
        {0,
         false,
         false,
         {"--table", "table.txt"},
         {IDYES, IDOK},
         "1|'O''Brien'|'Tokyo, Japan'||名前 市\r\n2|NULL|'大阪'|\"say \"\"hi\"\"\"|名前 市"},
        {1,
         true,
         true,
         {"--table", "table.txt:2", "--header", "--loop-from-table"},
         {IDOK, IDOK},
         "0|'old'|'＜配列2＞'|＜配列3＞|O''Brien \"Tokyo, Japan\"\r\n1|NULL|'＜配列2＞'|＜配列3＞| 大阪"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        for (const int answer : c.answers) messageBox.scriptAnswer(answer);
        QGuiApplication::clipboard()->setText(QString::fromUtf8(kTable));
        onModal = [&c](QDialog& modal) {
            auto& table = dynamic_cast<TableImportDialog&>(modal);
            table.m_header->setChecked(c.header);
            table.m_fitLoop->setChecked(c.fitLoop);
            return int{QDialog::Accepted};
        };
        dialog->OnPasteTable(c.first);
        saveToEnd({.path = target(), .loopCount = dialog->documentShown().window.loopCount});
        QProcess expand;
        expand.setWorkingDirectory(QString::fromStdString(dir.directory()));
        expand.start(RAVOLIN_EXPAND_PATH, QStringList(c.options) << QString::fromStdString(dir.settingsPath()));
        ASSERT_TRUE(expand.waitForFinished(20000));
        const std::string expected = expand.readAllStandardOutput().toStdString();
        EXPECT_NE(expected.find(c.shows), std::string::npos) << expected;
        EXPECT_EQ(readBytes(target()), expected);
        dialog->OnUndoTable();
    }
}

TEST_F(SaveResult, cancelLeavesTheOldFileAndNoTemporaryFileAndUnlocksTheWindow) {
    createWithExample("1");
    { std::ofstream(target()) << "old result"; }
    resultFileChooser.scriptChoice({.path = target(), .loopCount = 20000000});  // most of a gigabyte
    dialog->OnCommand(kCmdSaveResult);
    ASSERT_TRUE(dialog->isRunning());
    ASSERT_NE(progressDialog(), nullptr);
    EXPECT_EQ(progressDialog()->windowTitle(), "変換結果の保存");
    // The bar moves: its first step is a thousandth of the passes.
    ASSERT_TRUE(eventually(
        [this] { return progressDialog()->value() > 0 && progressDialog()->labelText().contains("バイト"); }));
    // While it runs the window is locked as in a run, and won't end.
    EXPECT_FALSE(dialog->GetDlgItem(kIdExecute)->isEnabled());
    EXPECT_FALSE(dialog->GetMenuItem(kCmdSaveResult)->isEnabled());
    messageBox.scriptAnswer(IDOK);
    dialog->OnCancel();
    ASSERT_EQ(messageBox.calls().size(), 1u);
    expectBusyWarning(messageBox.calls()[0]);
    EXPECT_TRUE(dialog->isVisible());

    QPushButton* cancel = progressDialog()->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), "キャンセル");
    QTest::mouseClick(cancel, Qt::LeftButton);
    ASSERT_TRUE(eventually([this] { return !dialog->isRunning(); }));
    EXPECT_EQ(readBytes(target()), "old result");
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"RavolinSetting.ini", "result.txt"}));
    EXPECT_EQ(messageBox.calls().size(), 1u);  // a cancel needs no message
    EXPECT_TRUE(dialog->GetDlgItem(kIdExecute)->isEnabled());
    EXPECT_TRUE(dialog->GetMenuItem(kCmdSaveResult)->isEnabled());
    EXPECT_EQ(progressDialog(), nullptr);
}

TEST_F(SaveResult, aTargetThatCannotBeWrittenIsReportedAndAChooserCancelDoesNothing) {
    createWithExample("3");
    resultFileChooser.scriptCancel();
    dialog->OnCommand(kCmdSaveResult);
    EXPECT_FALSE(dialog->isRunning());
    EXPECT_TRUE(messageBox.calls().empty());

    const std::string fifo = target("fifo.txt");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(target("folder.txt"));
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {dir.directory() + "/no/such/folder/result.txt",
         "保存用の一時ファイルを作成できません（フォルダーが見つかりません）"},
        {fifo, "通常のファイルではありません（パイプ、デバイスなど）"},
        {target("folder.txt"), "通常のファイルではありません（フォルダーです）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        messageBox.scriptAnswer(IDOK);
        saveToEnd({.path = c.path, .loopCount = 3});
        ASSERT_FALSE(messageBox.calls().empty());
        EXPECT_EQ(messageBox.calls().back().caption, "警告");
        EXPECT_EQ(messageBox.calls().back().type, MB_OK | MB_ICONEXCLAMATION);
        EXPECT_EQ(messageBox.calls().back().text,
                  "変換結果を保存できませんでした。\r\n\r\nファイル: " + c.path + "\r\n理由: " + c.reason);
        EXPECT_TRUE(dialog->GetDlgItem(kIdExecute)->isEnabled());
    }
}

// A cancel that comes once the flushed result is being renamed over the target is too late: the message says
// the save completed rather than saying nothing, as for a cancel that counted.
TEST_F(SaveResult, aCancelTooLateToStopTheRenameIsToldTheSaveCompleted) {
    createWithExample("3");
    { std::ofstream(target()) << "old result"; }
    Gate gate;
    g_atRename = false;
    g_gateAtRename = &gate;
    setBeforeRenameHookForTesting(atRename);
    resultFileChooser.scriptChoice({.path = target(), .loopCount = 3});
    dialog->OnCommand(kCmdSaveResult);
    ASSERT_TRUE(eventually([] { return g_atRename.load(); }));
    // The window takes no event until the file is replaced: it hasn't seen the end yet when the cancel comes.
    gate.open();
    for (int waited = 0; readBytes(target()) == "old result" && waited < 20000; ++waited) QTest::qSleep(1);
    setBeforeRenameHookForTesting(nullptr);
    g_gateAtRename = nullptr;
    ASSERT_NE(progressDialog(), nullptr);
    progressDialog()->findChild<QPushButton*>()->click();
    messageBox.scriptAnswer(IDOK);
    ASSERT_TRUE(eventually([this] { return !dialog->isRunning(); }));
    ASSERT_EQ(messageBox.calls().size(), 1u);
    EXPECT_EQ(messageBox.calls()[0].caption, "情報");
    EXPECT_EQ(messageBox.calls()[0].text, "キャンセルする前に保存が完了しました。\r\n\r\nファイル: " + target() +
                                              "\r\nサイズ: " + std::to_string(readBytes(target()).size()) + " バイト");
}

// The end of the window (the program ending on a signal or with the session) cancels a save still going and
// leaves no temporary file; the next start clears what a save cut off by a kill left beside the last target.
TEST_F(SaveResult, theEndOfTheWindowCancelsASaveAndTheNextStartClearsWhatKillsLeft) {
    windowStateFile = dir.directory() + "/state/window.ini";
    createWithExample("1");
    { std::ofstream(target()) << "old result"; }
    resultFileChooser.scriptChoice({.path = target(), .loopCount = 20000000});  // most of a gigabyte
    dialog->OnCommand(kCmdSaveResult);
    ASSERT_TRUE(eventually([this] { return progressDialog()->value() > 0; }));
    ASSERT_EQ(folderEntries().size(), 4u);  // the temporary file is there
    dialog.reset();
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"RavolinSetting.ini", "result.txt", "state"}));
    EXPECT_EQ(readBytes(target()), "old result");

    const std::string gone = goneProcess();
    const std::vector<std::string> kept = {
        ".other.txt." + gone + ".5",                        // beside another file
        ".result.txt." + std::to_string(getppid()) + ".7",  // a save still going in another process
    };
    for (const std::string& name : kept) std::ofstream(target(name.c_str())) << "x";
    std::ofstream(target((".result.txt." + gone + ".5").c_str())) << "left by a killed save";
    createAndShow();
    std::vector<std::string> expected = {"RavolinSetting.ini", "result.txt", "state"};
    expected.insert(expected.end(), kept.begin(), kept.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folderEntries(), expected);
}

TEST_F(SaveResult, aRunOverThePaneLimitLeadsToTheSave) {
    createWithExample("1");
    // The limit lowered to 32 MiB, so that a run goes past it quickly.
    ConverterDialogTestAccess::setOutputLimits(*dialog, std::size_t{32} << 20, kLargeCopyBytes);
    dialog->SetDlgItemText(kIdTemplate, std::string(1000, 'x'));
    dialog->SetDlgItemText(kIdLoopCount, "40000");  // 40 MB
    messageBox.scriptAnswer(IDYES);
    messageBox.scriptAnswer(IDOK);  // saved
    resultFileChooser.scriptChoice({.path = target(), .loopCount = 40000});
    runToEnd();
    ASSERT_TRUE(eventually([this] { return resultFileChooser.calls().size() == 1 && !dialog->isRunning(); }));
    EXPECT_EQ(resultFileChooser.calls()[0].loopCount, 40000);
    EXPECT_EQ(fs::file_size(target()), 1000u * 40000 + 2u * 39999);
}

// The ends a window can't time: a last line break that fails to be written, and a cancel that comes once
// every piece is in (a run of no pass has nothing before it) or while the complete result is flushed, before
// the rename. Either way the old file stays.
TEST(ResultFile, aFailedLastLineBreakIsAFailureAndALateCancelKeepsTheOldFile) {
    struct Case {
        const char* what;
        std::int32_t loopCount;
        bool lf;
        rlim_t fileSizeLimit;
        bool cancel;
        bool cancelAtRename;  // between the flush and the rename, once every range is written
        ResultFileEnd end;
    };
    const Case cases[] = {
        {"no room for the last line break", 2, true, 5, false, false, ResultFileEnd::Failed},  // "ab\nab" fits
        {"cancelled after the last piece", 0, false, RLIM_INFINITY, true, false, ResultFileEnd::Cancelled},
        {"cancelled while the result is flushed", 2, true, RLIM_INFINITY, false, true, ResultFileEnd::Cancelled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempSettingsDir dir;
        const std::string path = dir.directory() + "/result.txt";
        std::ofstream(path) << "old result";
        ExpansionInput input;
        input.templateText = "ab";
        input.loopCount = c.loopCount;
        const std::string end =
            test::runInChild([&] {
                signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{c.fileSizeLimit, c.fileSizeLimit};
                setrlimit(RLIMIT_FSIZE, &limit);
                OutputProgress progress;
                progress.cancel = c.cancel;
                if (c.cancelAtRename) {
                    g_cancelAtRename = &progress.cancel;
                    setBeforeRenameHookForTesting(atRename);
                }
                FileFailure failure;
                const ResultFileChoice choice{.path = path, .lfLineEnds = c.lf};
                return std::to_string(static_cast<int>(writeResultFile(input, choice, progress, failure)));
            }).report;
        EXPECT_EQ(end, std::to_string(static_cast<int>(c.end)));
        EXPECT_EQ(readBytes(path), "old result");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.directory()), fs::directory_iterator()), 1);
    }
}

}  // namespace
}  // namespace ravolin
