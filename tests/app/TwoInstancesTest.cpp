#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <sys/inotify.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "settings/SettingsStore.h"
#include "tests/app/ProgramProcess.h"
#include "testsupport/XvfbServer.h"
#include "testsupport/core/TempSettingsDir.h"

namespace ravolin {
namespace {

constexpr int kWindowTimeoutMs = 20000;

// Everything that happens to the entries of a directory while it is watched.
class DirectoryWatch {
public:
    explicit DirectoryWatch(const std::string& directory) : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (m_fd >= 0) inotify_add_watch(m_fd, directory.c_str(), IN_ALL_EVENTS);
    }
    ~DirectoryWatch() {
        if (m_fd >= 0) close(m_fd);
    }
    bool valid() const { return m_fd >= 0; }

    // The names of the entries touched since the watch began (opened, read, written, created, ...).
    std::string touched() const {
        std::string names;
        alignas(inotify_event) char buffer[4096];
        ssize_t length;
        while ((length = read(m_fd, buffer, sizeof buffer)) > 0) {
            for (char* p = buffer; p < buffer + length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                names += (event->len ? event->name : ".") + std::string(" ");
                p += sizeof(inotify_event) + event->len;
            }
        }
        return names;
    }

private:
    int m_fd;
};

class TwoInstances : public ::testing::Test {
protected:
    void SetUp() override {
        if (!XvfbServer::isInstalled()) GTEST_SKIP() << "Xvfb is not installed: no X server to run the program on";
        ASSERT_TRUE(m_x.start()) << m_x.error().toStdString();
        ASSERT_TRUE(makePrivateRuntimeDir(m_runtime));
        // A font that parses, so the first copy comes up without its font message.
        m_work.writeSettings("[Common]\r\nFont=" + std::string(kValidFontDescription) + "\r\nLoop=7\r\n");
    }

    void TearDown() override {
        for (auto& program : m_programs) {
            program->kill();
            program->waitForFinished(10000);
        }
    }

    // Starts the real program on `x` (this test's first display by default) in the shared working directory,
    // with the lock directory of this test.
    QProcess& startProgram(const XvfbServer* x = nullptr, const QStringList& arguments = {}) {
        auto& program = *m_programs.emplace_back(std::make_unique<QProcess>());
        prepareProgram(program, (x ? *x : m_x).environment(), m_runtime, m_work);
        program.setArguments(arguments);
        program.start();
        EXPECT_TRUE(program.waitForStarted(10000));
        return program;
    }

    // Waits until `text` is on the clipboard, whoever holds it.
    QString waitForClipboard(const QString& text) const {
        QDeadlineTimer deadline(kWindowTimeoutMs);
        QString clipboard;
        do {
            clipboard = m_x.run("xclip", {"-o", "-selection", "clipboard", "-t", "UTF8_STRING"});
            if (clipboard.contains(text)) break;
            QThread::msleep(50);
        } while (!deadline.hasExpired());
        return clipboard;
    }

    XvfbServer m_x;
    QTemporaryDir m_runtime;
    TempSettingsDir m_work;
    std::vector<std::unique_ptr<QProcess>> m_programs;
};

TEST_F(TwoInstances, secondCopyIsRefused_firstRunsOn_andAKilledFirstFreesTheLock) {
    QProcess& first = startProgram();
    const QString firstWindow = m_x.waitForWindow("^Ravolin$", first.processId(), kWindowTimeoutMs);
    ASSERT_FALSE(firstWindow.isEmpty()) << "the first copy showed no main window";
    const std::string settingsBefore = m_work.readSettingsBytes();

    DirectoryWatch watch(m_work.directory());
    ASSERT_TRUE(watch.valid());
    QProcess& second = startProgram();
    const QString warning = m_x.waitForWindow("^警告$", second.processId(), kWindowTimeoutMs);
    ASSERT_FALSE(warning.isEmpty()) << "the second copy showed no refusal";
    EXPECT_TRUE(m_x.findWindows("^Ravolin$", second.processId()).isEmpty());

    // The message box copies its caption and text with Ctrl+C.
    m_x.run("xdotool", {"windowfocus", "--sync", warning});
    m_x.run("xdotool", {"key", "--clearmodifiers", "ctrl+c"});
    const QString copied = waitForClipboard(QStringLiteral("すでに起動しています"));
    EXPECT_TRUE(copied.contains(QStringLiteral("すでに起動しています"))) << copied.toStdString();
    EXPECT_TRUE(copied.contains(QStringLiteral("警告"))) << copied.toStdString();

    m_x.run("xdotool", {"key", "Return"});
    ASSERT_TRUE(second.waitForFinished(kWindowTimeoutMs)) << "the refused copy did not exit";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 1) << second.readAllStandardError().toStdString();  // a refused start
    EXPECT_EQ(watch.touched(), "") << "the refused copy touched the working directory";
    EXPECT_EQ(m_work.readSettingsBytes(), settingsBefore);

    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(m_x.findWindows("^Ravolin$", first.processId()), QStringList{firstWindow});

    first.kill();  // SIGKILL
    ASSERT_TRUE(first.waitForFinished(10000));
    QProcess& third = startProgram();
    EXPECT_FALSE(m_x.waitForWindow("^Ravolin$", third.processId(), kWindowTimeoutMs).isEmpty())
        << "a copy started after the first was killed showed no window; it is in state " << third.state()
        << " and said: " << third.readAllStandardError().toStdString();
    EXPECT_TRUE(m_x.findWindows("^警告$").isEmpty());
}

// A second start with a file hands it to the copy that runs, which opens it under its name, and ends well.
TEST_F(TwoInstances, secondStartWithAFile_handsItToTheRunningWindow) {
    QProcess& first = startProgram();
    ASSERT_FALSE(m_x.waitForWindow("^Ravolin$", first.processId(), kWindowTimeoutMs).isEmpty());
    test::writeFile(m_work.directory() + "/名簿.ini",
                    "[Common]\r\nFont=" + std::string(kValidFontDescription) + "\r\nLoop=2\r\n");

    QProcess& second = startProgram(nullptr, {QStringLiteral("名簿.ini")});
    ASSERT_TRUE(second.waitForFinished(kWindowTimeoutMs)) << "the second start did not end";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_TRUE(m_x.findWindows("^警告$").isEmpty());
    EXPECT_FALSE(waitForTitle(m_x, first.processId(), QStringLiteral("Ravolin - 名簿.ini"), kWindowTimeoutMs).isEmpty())
        << "the running window did not open the file";
    EXPECT_EQ(first.state(), QProcess::Running);
}

// The lock is per user and display: the same user on a second display gets a window of its own there.
TEST_F(TwoInstances, copiesOnTwoDisplaysBothRun) {
    XvfbServer other;
    ASSERT_TRUE(other.start()) << other.error().toStdString();
    ASSERT_NE(other.display(), m_x.display());
    QProcess& first = startProgram();
    ASSERT_FALSE(m_x.waitForWindow("^Ravolin$", first.processId(), kWindowTimeoutMs).isEmpty());
    QProcess& second = startProgram(&other);
    EXPECT_FALSE(other.waitForWindow("^Ravolin$", second.processId(), kWindowTimeoutMs).isEmpty())
        << "the copy on the second display showed no window; it is in state " << second.state()
        << " and said: " << second.readAllStandardError().toStdString();
    EXPECT_TRUE(other.findWindows("^警告$").isEmpty());
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(second.state(), QProcess::Running);
    // The programs go before the second display does.
    for (auto& program : m_programs) {
        program->kill();
        program->waitForFinished(10000);
    }
}

}  // namespace
}  // namespace ravolin
