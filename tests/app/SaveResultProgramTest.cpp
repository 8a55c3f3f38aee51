#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <string>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "tests/app/ProgramProcess.h"
#include "testsupport/XvfbServer.h"
#include "testsupport/core/TempSettingsDir.h"

namespace ravolin {
namespace {

constexpr int kWindowTimeoutMs = 20000;

// The real program on an X server of its own, started in a folder of its own.
class ProgramOnX : public testing::Test {
protected:
    void SetUp() override {
        if (!XvfbServer::isInstalled()) GTEST_SKIP() << "Xvfb is not installed: no X server to run the program on";
        x = std::make_unique<XvfbServer>();
        ASSERT_TRUE(startStage(*x, runtime));
    }
    // Starts the program on a settings file of `common` (CR LF lines of [Common], beside a valid font) and
    // `rest` (the other sections), and waits for its window.
    void start(const std::string& common, const std::string& rest) {
        work.writeSettings("[Common]\r\n" + common + "Font=" + std::string(kValidFontDescription) + "\r\n" + rest);
        prepareProgram(program, x->environment(), runtime, work);
        program.start();
        ASSERT_TRUE(program.waitForStarted(10000));
        window = x->waitForWindow("^Ravolin$", program.processId(), kWindowTimeoutMs);
        ASSERT_FALSE(window.isEmpty()) << program.readAllStandardError().toStdString();
    }

    // "処理(&P)" opens on "変換実行"; the save is the fourth item. The file name field has the focus and the
    // chooser opens in the home folder, which here has no documents folder and is the working folder. A bare
    // name, as a person types it: a whole path races the field's completer, which may rewrite the folder part
    // while keys arrive.
    void saveThroughTheMenu() {
        x->run("xdotool", {"windowfocus", "--sync", window});
        x->run("xdotool", {"key", "--clearmodifiers", "alt+p"});
        x->run("xdotool", {"key", "Down", "Down", "Down", "Return"});
        ASSERT_TRUE(focusTitled(*x, program.processId(), QString::fromUtf8("変換結果の保存")));
        x->run("xdotool", {"type", "--delay", "5", "result.txt"});
        x->run("xdotool", {"key", "Return"});
    }

    std::unique_ptr<XvfbServer> x;
    QTemporaryDir runtime;
    TempSettingsDir work;
    QProcess program;
    QString window;
};

// The real program saves a 100 MB result through its real menu, Qt's file dialog and the progress dialog.
TEST_F(ProgramOnX, savesAResultThroughTheMenuAndTheFileDialog) {
    ASSERT_NO_FATAL_FAILURE(start("Loop=99999\r\n", "[Edit]\r\nOrigin=" + std::string(1000, 'x') + "\r\n"));

    ASSERT_NO_FATAL_FAILURE(saveThroughTheMenu());
    ASSERT_TRUE(focusTitled(*x, program.processId(), QString::fromUtf8("情報"), 60000))
        << program.readAllStandardError().toStdString();
    EXPECT_EQ(std::filesystem::file_size(work.directory() + "/result.txt"), 1000u * 99999 + 2u * 99998);
    x->run("xdotool", {"key", "Return"});
    program.kill();
    ASSERT_TRUE(program.waitForFinished(10000));
}

// A request to end (a signal; the session's end takes the same way out) during a result save ends the program
// normally, once the save is cancelled and its temporary file is gone: no hidden file of up to the whole result
// is left behind.
TEST_F(ProgramOnX, aSignalDuringAResultSaveLeavesNoTemporaryFile) {
    for (const int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        // Up to a gigabyte, of which the save has written a little when the signal comes.
        ASSERT_NO_FATAL_FAILURE(start("Loop=1000000\r\n", "[Edit]\r\nOrigin=" + std::string(1000, 'x') + "\r\n"));
        ASSERT_NO_FATAL_FAILURE(saveThroughTheMenu());
        const auto temporaries = [this] {
            return QDir(QString::fromStdString(work.directory()))
                .entryList({".result.txt.*"}, QDir::Files | QDir::Hidden);
        };
        ASSERT_TRUE(QTest::qWaitFor([&] { return !temporaries().isEmpty(); }, kWindowTimeoutMs)) << "no save began";

        ASSERT_EQ(kill(static_cast<pid_t>(program.processId()), signal), 0);
        ASSERT_TRUE(program.waitForFinished(kWindowTimeoutMs)) << "the program did not end";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        EXPECT_EQ(temporaries().join(' ').toStdString(), "");
        EXPECT_FALSE(std::filesystem::exists(work.directory() + "/result.txt"));
    }
}

// The real program opens the format dialog from its menu by the keyboard, takes a width and a format typed
// there, and its exit save stores them in keys of their own.
TEST_F(ProgramOnX, formatDialogChoicesByKeyboardAreSavedAtExit) {
    ASSERT_NO_FATAL_FAILURE(
        start("AutoSave=1\r\nLoop=3\r\n", "[Edit]\r\nOrigin=<n>\r\n[Numerical]\r\nText1=<n>\r\nInit1=7\r\n"));

    x->run("xdotool", {"windowfocus", "--sync", window});
    x->run("xdotool", {"key", "--clearmodifiers", "alt+t"});
    x->run("xdotool", {"key", "f"});
    ASSERT_TRUE(focusTitled(*x, program.processId(), QString::fromUtf8("書式と繰り返し")));
    // 桁数(&W) of the first row: 5; 書式(&M): one down, hexadecimal; Enter is OK.
    x->run("xdotool", {"key", "--clearmodifiers", "alt+w", "ctrl+a"});
    x->run("xdotool", {"type", "5"});
    x->run("xdotool", {"key", "--clearmodifiers", "alt+m", "Down", "Return"});
    x->run("xdotool", {"windowfocus", "--sync", window});
    x->run("xdotool", {"key", "--clearmodifiers", "alt+x"});
    ASSERT_TRUE(program.waitForFinished(kWindowTimeoutMs)) << "the program did not end";
    const std::string saved = work.readSettingsBytes();
    EXPECT_NE(saved.find("\r\nFormat1=1\r\nWidth1=5\r\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("Repeat1"), std::string::npos) << saved;
}

}  // namespace
}  // namespace ravolin
