#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "TempSettingsDir.h"

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

// A signal ends the program as the end of the session does: at once, normally, asking and saving nothing,
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
        ASSERT_TRUE(runtime.isValid());
        ASSERT_EQ(chmod(runtime.path().toLocal8Bit().constData(), 0700), 0);
        TempSettingsDir work;
        work.writeSettings(std::string("[Common]\r\nAutoSave=1\r\nLoop=3\r\n") +
                           (c.validFont ? "Font=" + std::string(kValidFontDescription) + "\r\n" : ""));
        const std::string before = work.readSettingsBytes();
        const QStringList entriesBefore = QDir(QString::fromStdString(work.directory())).entryList(QDir::AllEntries);

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("LSAN_OPTIONS", env.value("LSAN_OPTIONS") + ":suppressions=" RAVOLIN_LSAN_SUPPRESSIONS);
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(QString::fromStdString(work.directory()));
        program.setProgram(RAVOLIN_EXECUTABLE);
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

}  // namespace
}  // namespace ravolin
