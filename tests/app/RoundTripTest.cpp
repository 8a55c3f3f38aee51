#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "settings/SettingsStore.h"
#include "tests/app/ProgramProcess.h"
#include "testsupport/XvfbServer.h"
#include "testsupport/core/TempSettingsDir.h"
#include "testsupport/core/TestFiles.h"

namespace ravolin {
namespace {

constexpr int kTimeoutMs = 20000;
constexpr char kOutput[] = "row 0 is red\nrow 1 is green\nrow 2 is blue";

// The real program on an X server of the test's own, driven with the keyboard and the mouse as a user
// drives it: a template, a counter and an array typed in, a run, the output copied, an exit with auto-save,
// and a second start that finds everything again.
class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XvfbServer::isInstalled()) GTEST_SKIP() << "Xvfb is not installed: no X server to run the program on";
        ASSERT_TRUE(m_x.start()) << m_x.error().toStdString();
        ASSERT_TRUE(makePrivateRuntimeDir(m_runtime));
        writeSettings("");
    }
    void writeSettings(const std::string& rest) {
        m_work.writeSettings("[Common]\r\nFont=" + std::string(kValidFontDescription) + "\r\n" + rest);
    }

    void TearDown() override {
        if (m_program && m_program->state() != QProcess::NotRunning) {
            m_program->kill();
            m_program->waitForFinished(kTimeoutMs);
        }
    }

    // Starts the program and gives its main window the keyboard; the window's id.
    QString start() {
        m_program = std::make_unique<QProcess>();
        prepareProgram(*m_program, m_x.environment(), m_runtime, m_work);
        m_program->start();
        const QString window = m_x.waitForWindow("^Ravolin$", m_program->processId(), kTimeoutMs);
        if (!window.isEmpty()) m_x.run("xdotool", {"windowfocus", "--sync", window});
        return window;
    }

    void keys(const QStringList& names) const {
        for (const QString& name : names) m_x.run("xdotool", {"key", "--clearmodifiers", name});
    }
    void type(const QString& text) const { m_x.run("xdotool", {"type", "--delay", "20", text}); }
    // Clicks at a point of the window's client area: the template's pixels below the menu bar.
    void click(const QString& window, int x, int y) const {
        const QString geometry = m_x.run("xdotool", {"getwindowgeometry", "--shell", window});
        const int height = geometry.section("HEIGHT=", 1).section('\n', 0, 0).toInt();
        const int menuBar = height - 691;  // the client area is 956 x 691
        m_x.run("xdotool",
                {"mousemove", "--window", window, QString::number(x), QString::number(menuBar + y), "click", "1"});
    }

    // The clipboard once it holds `text`, or what it held when the time ran out.
    std::string waitForClipboard(const std::string& text, int timeoutMs = kTimeoutMs) const {
        QDeadlineTimer deadline(timeoutMs);
        std::string clipboard;
        do {
            clipboard = m_x.run("xclip", {"-o", "-selection", "clipboard", "-t", "UTF8_STRING"}).toStdString();
            if (clipboard == text) break;
            QThread::msleep(50);
        } while (!deadline.hasExpired());
        return clipboard;
    }

    // Runs with the execute button and copies the output pane, which selects everything on focus; the
    // clipboard then. From the template, five Tabs reach the execute button; past it lie the tabs, the shown
    // page's edits, then the pane. While the run is on, Tab skips the disabled button: the copy is tried again
    // until the run has ended.
    std::string runAndCopyOutput(const QString& window, int pageEdits, const std::string& output = kOutput) const {
        click(window, 400, 200);
        keys({"Tab", "Tab", "Tab", "Tab", "Tab", "space"});
        QStringList toOutput;
        for (int i = 0; i < 7 + pageEdits; ++i) toOutput << "Tab";
        toOutput << "ctrl+c";
        QDeadlineTimer deadline(kTimeoutMs);
        std::string copied;
        do {
            click(window, 400, 200);
            keys(toOutput);
            copied = waitForClipboard(output, 1000);
        } while (copied != output && !deadline.hasExpired());
        return copied;
    }

    bool waitForExit() const {
        return m_program->waitForFinished(kTimeoutMs) && m_program->exitStatus() == QProcess::NormalExit &&
               m_program->exitCode() == 0;
    }

    XvfbServer m_x;
    QTemporaryDir m_runtime;
    TempSettingsDir m_work;
    std::unique_ptr<QProcess> m_program;
};

TEST_F(RoundTrip, typedSettingsRunCopyAutoSaveAndComeBack) {
    const QString window = start();
    ASSERT_FALSE(window.isEmpty()) << "no main window";

    // From the exit button: the template, the loop count, the auto-save box, then past the buttons and the
    // tabs the first counter's token.
    keys({"Tab"});
    type("row NN is CC");
    keys({"Tab", "ctrl+a"});
    type("3");
    keys({"Tab", "space", "Tab", "Tab", "Tab", "Tab", "Tab"});
    type("NN");

    // Tab "配列1" (Alt+1), then its token and values through the execute button and the tabs.
    keys({"alt+1"});
    click(window, 400, 200);
    keys({"Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab"});
    type("CC");
    keys({"Tab"});
    type("red");
    keys({"Return"});
    type("green");
    keys({"Return"});
    type("blue");

    EXPECT_EQ(runAndCopyOutput(window, 2), kOutput);

    keys({"alt+x"});
    ASSERT_TRUE(waitForExit()) << m_program->readAllStandardError().toStdString();
    Document loaded;
    loadSettingsFile(m_work.settingsPath(), loaded);
    const WindowSettings& stored = loaded.window;
    EXPECT_EQ(stored.templateText, "row NN is CC");
    EXPECT_EQ(stored.loopCount, 3);
    EXPECT_EQ(stored.autoSave, 1);
    EXPECT_EQ(loaded.record.counters[0].token, "NN");
    EXPECT_EQ(loaded.record.arrays[0].token, "CC");
    EXPECT_EQ(loaded.record.arrays[0].valuesText, "red\r\ngreen\r\nblue");

    // The second start shows the template again and runs it to the same output.
    const QString again = start();
    ASSERT_FALSE(again.isEmpty()) << "no main window on the second start";
    keys({"Tab", "ctrl+a", "ctrl+c"});
    EXPECT_EQ(waitForClipboard("row NN is CC"), "row NN is CC");
    EXPECT_EQ(runAndCopyOutput(again, 15), kOutput);  // the counter page shows now
    keys({"alt+x"});
    EXPECT_TRUE(waitForExit());
}

// A schedule of business days set through the format dialog by keyboard: the counter made a date counter,
// its start typed into the date field, the unit and the pattern chosen; the run skips 昭和の日 and Golden Week,
// and the exit stores the date keys.
TEST_F(RoundTrip, aBusinessDayCounterSetInTheFormatDialogRunsAndIsStored) {
    writeSettings("AutoSave=1\r\nLoop=3\r\n[Edit]\r\nOrigin=NN\r\n[Numerical]\r\nText1=NN\r\nInc1=1\r\n");
    const QString window = start();
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    keys({"alt+t", "f"});
    const QString format = m_x.waitForWindow("^書式と繰り返し$", m_program->processId(), kTimeoutMs);
    ASSERT_FALSE(format.isEmpty()) << "no format dialog";
    m_x.run("xdotool", {"windowfocus", "--sync", format});
    keys({"alt+k", "Down", "alt+s"});
    type("20270428");  // year, month and day: each field moves on once full
    keys({"alt+u", "End", "alt+t", "ctrl+a"});
    type("m/d(aaa)");
    keys({"Return"});

    EXPECT_EQ(runAndCopyOutput(window, 14, "4/28(水)\n4/30(金)\n5/6(木)"), "4/28(水)\n4/30(金)\n5/6(木)");
    keys({"alt+x"});
    ASSERT_TRUE(waitForExit()) << m_program->readAllStandardError().toStdString();
    Document loaded;
    loadSettingsFile(m_work.settingsPath(), loaded);
    const CounterStyle& style = loaded.record.counters[0].style;
    EXPECT_EQ(style.kind, kKindDate);
    EXPECT_EQ(style.start, "2027/04/28");
    EXPECT_EQ(style.unit, kUnitBusinessDay);
    EXPECT_EQ(style.pattern, "m/d(aaa)");
}

// A spreadsheet's copy on the clipboard, put there by another program: Ctrl+Shift+V, "表の取り込み" with the first
// row as the tokens and the loop count fitted, then a run over the table's rows.
TEST_F(RoundTrip, aTableOnTheClipboardIsPastedIntoTheArraysAndRun) {
    writeSettings("Loop=9\r\n[Edit]\r\nOrigin=ID: 名前\r\n");
    const std::string table = "ID\t名前\r\n1\tO'Brien\r\n2\t\"鈴木\n一郎\"\r\n";
    const std::string tableFile = m_work.directory() + "/sheet.txt";
    test::writeFile(tableFile, table);
    m_x.run("xclip", {"-i", "-selection", "clipboard", "-t", "UTF8_STRING", QString::fromStdString(tableFile)});
    ASSERT_EQ(waitForClipboard(table), table) << "xclip never held the table";

    const QString window = start();
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    keys({"ctrl+shift+v"});
    ASSERT_TRUE(focusTitled(m_x, m_program->processId(), QStringLiteral("表の取り込み"))) << "no table dialog";
    // Through the list's box to the check box, which a space ticks at once; its mnemonic ticks it only once its
    // click has been drawn, after an Enter that came that quickly.
    keys({"alt+a", "Tab", "space", "Return"});
    QDeadlineTimer deadline(kTimeoutMs);
    while (!m_x.findWindows("^表の取り込み$", m_program->processId()).isEmpty() && !deadline.hasExpired())
        QThread::msleep(50);
    m_x.run("xdotool", {"windowfocus", "--sync", window});

    keys({"alt+1"});
    const std::string expected = "1: O'Brien\n2: 鈴木 一郎";
    EXPECT_EQ(runAndCopyOutput(window, 2, expected), expected);
}

// A result of about 100 MB shows as soon as the run ends, and scrolls from end to end; a selection of it goes
// to the clipboard, where another program reads it.
TEST_F(RoundTrip, aHundredMegabyteResultShows_andASelectionOfItIsCopied) {
    const std::string filler(90, 'x');
    writeSettings("Loop=1000000\r\n[Edit]\r\nOrigin=row NN " + filler +
                  "\r\n[Numerical]\r\nText1=NN\r\nInit1=0\r\nInc1=1\r\n");
    const QString window = start();
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    keys({"F5"});

    // A click into the pane gives it the focus (and selects everything); from the top, two lines down. Until the
    // run has ended the pane holds its placeholder: the copy is tried again.
    const std::string firstLines = "row 0 " + filler + "\nrow 1 " + filler + "\n";
    QDeadlineTimer deadline(kTimeoutMs);
    std::string copied;
    do {
        click(window, 800, 500);
        keys({"ctrl+Home", "shift+Down", "shift+Down", "ctrl+c"});
        copied = waitForClipboard(firstLines, 1000);
    } while (copied != firstLines && !deadline.hasExpired());
    EXPECT_EQ(copied, firstLines);
    keys({"ctrl+End", "shift+Home", "ctrl+c"});
    EXPECT_EQ(waitForClipboard("row 999999 " + filler), "row 999999 " + filler);
}

}  // namespace
}  // namespace ravolin
