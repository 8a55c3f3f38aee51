#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "tests/app/ProgramProcess.h"
#include "testsupport/TempSettingsDir.h"
#include "testsupport/XvfbServer.h"

namespace ravolin {
namespace {

constexpr int kTimeoutMs = 20000;

// Waits until a process has opened and closed, without writing, `name` in `directory`: the program has
// then read its settings, so its signal handlers are in place.
bool waitUntilRead(const std::string& directory, const std::string& name, QProcess& program) {
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) return false;
    inotify_add_watch(fd, directory.c_str(), IN_CLOSE_NOWRITE);
    program.start();
    bool read = false;
    QDeadlineTimer deadline(kTimeoutMs);
    while (!read && !deadline.hasExpired()) {
        pollfd events{fd, POLLIN, 0};
        if (poll(&events, 1, static_cast<int>(deadline.remainingTime())) <= 0) break;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t length; (length = ::read(fd, buffer, sizeof buffer)) > 0;) {
            for (char* p = buffer; p < buffer + length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->len && name == event->name) read = true;
                p += sizeof(inotify_event) + event->len;
            }
        }
    }
    close(fd);
    return read;
}

// A signal ends the program as logging off does: at once, normally, asking and saving nothing,
// although auto-save is on.
TEST(Termination, signalEndsTheProgramPromptlyWithoutSaving) {
    struct Case {
        const char* name;
        int signal;
        bool validFont;  // without one, a notice is up when the signal comes
    };
    const Case cases[] = {
        {"SIGTERM", SIGTERM, true},
        {"SIGINT", SIGINT, true},
        {"SIGHUP", SIGHUP, true},
        {"SIGTERM during the start-up notice", SIGTERM, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir runtime;
        ASSERT_TRUE(makePrivateRuntimeDir(runtime));
        TempSettingsDir work;
        work.writeSettings(std::string("[Common]\r\nAutoSave=1\r\nLoop=3\r\n") +
                           (c.validFont ? "Font=" + std::string(kValidFontDescription) + "\r\n" : ""));
        const std::string before = work.readSettingsBytes();
        const QStringList entriesBefore = QDir(QString::fromStdString(work.directory())).entryList(QDir::AllEntries);

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        prepareProgram(program, env, runtime, work);
        ASSERT_TRUE(waitUntilRead(work.directory(), "RavolinSetting.ini", program))
            << "the program never read its settings";

        ASSERT_EQ(kill(static_cast<pid_t>(program.processId()), c.signal), 0);
        ASSERT_TRUE(program.waitForFinished(kTimeoutMs)) << "the program did not end";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << "killed by the signal instead of quitting";
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        EXPECT_EQ(work.readSettingsBytes(), before);
        EXPECT_EQ(QDir(QString::fromStdString(work.directory())).entryList(QDir::AllEntries), entriesBefore);
    }
}

int threadCount(qint64 pid) {
    return static_cast<int>(
        QDir(QString("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// The worker of a long run outlives the window: the program must neither wait for it nor crash under it.
TEST(Termination, sigtermDuringARun_endsTheProgramPromptly) {
    if (!XvfbServer::isInstalled()) GTEST_SKIP() << "Xvfb is not installed: no X server to run the program on";
    XvfbServer x;
    QTemporaryDir runtime;
    ASSERT_TRUE(startStage(x, runtime));
    TempSettingsDir work;
    // About 30 MB of output: seconds of work for the worker.
    work.writeSettings("[Common]\r\nAutoSave=1\r\nLoop=400000\r\nFont=" + std::string(kValidFontDescription) +
                       "\r\n[Edit]\r\nOrigin=line ＜置換1＞ of a long run, long enough to take a while........\r\n");
    const std::string before = work.readSettingsBytes();

    QProcess program;
    prepareProgram(program, x.environment(), runtime, work);
    program.start();
    const QString window = x.waitForWindow("^Ravolin$", program.processId(), kTimeoutMs);
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    x.run("xdotool", {"windowfocus", "--sync", window});
    // From the exit button to the execute button, which starts the run: its worker is a new thread.
    const int threadsBefore = threadCount(program.processId());
    for (const char* key : {"Tab", "Tab", "Tab", "Tab", "Tab", "Tab", "space"}) {
        x.run("xdotool", {"key", "--clearmodifiers", key});
    }
    QDeadlineTimer deadline(kTimeoutMs);
    while (threadCount(program.processId()) <= threadsBefore && !deadline.hasExpired()) QThread::msleep(5);
    ASSERT_GT(threadCount(program.processId()), threadsBefore) << "the run did not start";

    ASSERT_EQ(kill(static_cast<pid_t>(program.processId()), SIGTERM), 0);
    ASSERT_TRUE(program.waitForFinished(kTimeoutMs)) << "the program did not end";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_EQ(work.readSettingsBytes(), before);
}

}  // namespace
}  // namespace ravolin
