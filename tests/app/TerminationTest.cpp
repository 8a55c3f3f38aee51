#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <thread>

#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "app/TerminationSignals.h"
#include "settings/SettingsStore.h"
#include "tests/app/ProgramProcess.h"
#include "testsupport/XvfbServer.h"
#include "testsupport/core/TempSettingsDir.h"

namespace ravolin {
namespace {

constexpr int kTimeoutMs = 20000;

// The clipboard once it holds `text`, or what it held when the time ran out.
QString waitForClipboard(const XvfbServer& x, const QString& text) {
    QDeadlineTimer deadline(kTimeoutMs);
    QString clipboard;
    do {
        clipboard = x.run("xclip", {"-o", "-selection", "clipboard", "-t", "UTF8_STRING"});
        if (clipboard == text) break;
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return clipboard;
}

// A request to end (SIGTERM; SIGHUP, from a closing terminal; SIGINT, Ctrl+C) ends the program at once and
// normally, asking nothing. With auto-save on it first saves what the fields hold, as the exit would; without
// it nothing is written. A notice at start comes before the fields are filled: nothing of them is saved.
TEST(Termination, signalEndsTheProgram_savingTypedWorkOnlyWithAutoSave) {
    if (!XvfbServer::isInstalled()) GTEST_SKIP() << "Xvfb is not installed: no X server to run the program on";
    XvfbServer x;
    QTemporaryDir runtime;
    ASSERT_TRUE(startStage(x, runtime));
    struct Case {
        const char* name;
        int signal;
        int autoSave;
        bool validFont;  // without one, a notice is up when the signal comes
        bool saved;
    };
    const Case cases[] = {
        {"SIGTERM, auto-save on", SIGTERM, 1, true, true},
        {"SIGHUP, auto-save on", SIGHUP, 1, true, true},
        {"SIGINT, auto-save on", SIGINT, 1, true, true},
        {"SIGTERM, auto-save off", SIGTERM, 0, true, false},
        {"SIGHUP, auto-save off", SIGHUP, 0, true, false},
        {"SIGTERM during the start-up notice", SIGTERM, 1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempSettingsDir work;
        work.writeSettings("[Common]\r\nAutoSave=" + std::to_string(c.autoSave) + "\r\nLoop=3\r\n" +
                           (c.validFont ? "Font=" + std::string(kValidFontDescription) + "\r\n" : ""));
        const std::string before = work.readSettingsBytes();
        const QStringList entriesBefore = QDir(QString::fromStdString(work.directory())).entryList(QDir::AllEntries);

        QProcess program;
        prepareProgram(program, x.environment(), runtime, work);
        program.start();
        const QString typed = QString("typed before ") + c.name;
        if (c.validFont) {
            const QString window = x.waitForWindow("^Ravolin$", program.processId(), kTimeoutMs);
            ASSERT_FALSE(window.isEmpty()) << "no main window";
            // From the exit button to the template; the copy tells that the typing has arrived.
            x.run("xdotool", {"windowfocus", "--sync", window});
            x.run("xdotool", {"key", "--clearmodifiers", "Tab"});
            x.run("xdotool", {"type", "--delay", "20", typed});
            x.run("xdotool", {"key", "--clearmodifiers", "ctrl+a", "ctrl+c"});
            ASSERT_EQ(waitForClipboard(x, typed), typed);
        } else {
            ASSERT_FALSE(x.waitForWindow("^情報$", program.processId(), kTimeoutMs).isEmpty()) << "no notice";
        }

        ASSERT_EQ(kill(static_cast<pid_t>(program.processId()), c.signal), 0);
        ASSERT_TRUE(program.waitForFinished(kTimeoutMs)) << "the program did not end";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << "killed by the signal instead of quitting";
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        if (c.saved) {
            Document loaded;
            loadSettingsFile(work.settingsPath(), loaded);
            const WindowSettings& stored = loaded.window;
            EXPECT_EQ(stored.templateText, typed.toStdString());
            EXPECT_EQ(stored.loopCount, 3);
        } else {
            EXPECT_EQ(work.readSettingsBytes(), before);
        }
        EXPECT_EQ(QDir(QString::fromStdString(work.directory())).entryList(QDir::AllEntries), entriesBefore);
    }
}

// Holds the calling thread, whatever signals come, as a window blocked in its own work does.
void blockFor(std::chrono::seconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

bool g_endTakenUp = false;

// Runs the event loop until the request to end is taken up or 30 s have passed.
void runEventLoop() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!g_endTakenUp && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
}

void install(std::function<void()> onSignal) {
    std::string error;
    if (!handleTerminationSignals(std::move(onSignal), error)) _exit(3);
}

// The children of the test below, each ending itself by SIGTERM.
void neverTakenUp() {
    install([] {});
    raise(SIGTERM);
    blockFor(std::chrono::seconds(30));
    _exit(0);
}
void blockedAfterTakingItUp_thenAskedAgain() {
    install([] {
        g_endTakenUp = true;
        raise(SIGTERM);  // the second request, while the first one's end hangs
        blockFor(std::chrono::seconds(30));
    });
    raise(SIGTERM);
    runEventLoop();
    _exit(0);
}
void takenUpInTime() {
    install([] { g_endTakenUp = true; });
    raise(SIGTERM);
    runEventLoop();
    blockFor(std::chrono::seconds(3));  // past the 2 s: nothing is left armed to end it
    _exit(g_endTakenUp ? 0 : 4);
}

// A blocked window can always be ended: a request to end that its event loop doesn't take up within 2 s, or a
// second request, ends the program by the signal's default action. One taken up in time ends it as the
// program's own end does. Each case is a child that signals itself.
TEST(Termination, aRequestTheEventLoopCannotTakeUpEndsTheProgramByTheSignal) {
    GTEST_FLAG_SET(death_test_style, "fast");  // a fork of this process, which leaves nothing of its own behind
    struct Case {
        const char* what;
        void (*child)();
        bool killed;
    };
    const Case cases[] = {
        {"an event loop that never runs", neverTakenUp, true},
        {"a second request while the end hangs", blockedAfterTakingItUp_thenAskedAgain, true},
        {"a request taken up in time", takenUpInTime, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.killed) {
            EXPECT_EXIT(c.child(), testing::KilledBySignal(SIGTERM), "");
        } else {
            EXPECT_EXIT(c.child(), testing::ExitedWithCode(0), "");
        }
    }
}

int threadCount(qint64 pid) {
    return static_cast<int>(
        QDir(QString("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// The worker of a long run outlives the window: the program must neither wait for it nor crash under it. With
// auto-save on, what the fields hold is saved: the run needs none of it.
TEST(Termination, sigtermDuringARun_savesTheFieldsAndEndsTheProgramPromptly) {
    if (!XvfbServer::isInstalled()) GTEST_SKIP() << "Xvfb is not installed: no X server to run the program on";
    XvfbServer x;
    QTemporaryDir runtime;
    ASSERT_TRUE(startStage(x, runtime));
    TempSettingsDir work;
    // About 30 MB of output: seconds of work for the worker.
    const std::string longTemplate = "line ＜置換1＞ of a long run; long enough to take a while........";
    work.writeSettings("[Common]\r\nAutoSave=1\r\nLoop=400000\r\nFont=" + std::string(kValidFontDescription) +
                       "\r\n[Edit]\r\nOrigin=" + longTemplate + "\r\n");

    QProcess program;
    prepareProgram(program, x.environment(), runtime, work);
    program.start();
    const QString window = x.waitForWindow("^Ravolin$", program.processId(), kTimeoutMs);
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    x.run("xdotool", {"windowfocus", "--sync", window});
    // From the exit button to the template, where "!" is typed at the end, then to the execute button, which
    // starts the run: its worker is a new thread.
    const int threadsBefore = threadCount(program.processId());
    x.run("xdotool", {"key", "--clearmodifiers", "Tab", "ctrl+End"});
    x.run("xdotool", {"type", "!"});
    for (const char* key : {"Tab", "Tab", "Tab", "Tab", "Tab", "space"}) {
        x.run("xdotool", {"key", "--clearmodifiers", key});
    }
    QDeadlineTimer deadline(kTimeoutMs);
    while (threadCount(program.processId()) <= threadsBefore && !deadline.hasExpired()) QThread::msleep(5);
    ASSERT_GT(threadCount(program.processId()), threadsBefore) << "the run did not start";

    ASSERT_EQ(kill(static_cast<pid_t>(program.processId()), SIGTERM), 0);
    ASSERT_TRUE(program.waitForFinished(kTimeoutMs)) << "the program did not end";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    Document loaded;
    loadSettingsFile(work.settingsPath(), loaded);
    const WindowSettings& stored = loaded.window;
    EXPECT_EQ(stored.templateText, longTemplate + "!");
    EXPECT_EQ(stored.loopCount, 400000);
}

}  // namespace
}  // namespace ravolin
