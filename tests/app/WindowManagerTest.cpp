#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSize>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include "tests/app/ProgramProcess.h"
#include "testsupport/XvfbServer.h"
#include "testsupport/core/TempSettingsDir.h"

namespace ravolin {
namespace {

constexpr int kTimeoutMs = 20000;

bool maximized(const XvfbServer& x, const QString& window) {
    const QString state = x.run("xprop", {"-id", window, "_NET_WM_STATE"});
    return state.contains("_NET_WM_STATE_MAXIMIZED_VERT") && state.contains("_NET_WM_STATE_MAXIMIZED_HORZ");
}

bool eventually(const std::function<bool()>& condition) {
    QDeadlineTimer deadline(kTimeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(50);
    }
    return true;
}

// The real program under a window manager: resized and maximized by it, and found again so at the next start.
TEST(ProgramUnderAWindowManager, isResizedAndMaximizedAndComesBackAsItWasLeft) {
    if (!XvfbServer::isInstalled() || QStandardPaths::findExecutable("openbox").isEmpty() ||
        QStandardPaths::findExecutable("wmctrl").isEmpty())
        GTEST_SKIP() << "Xvfb, openbox or wmctrl is not installed (scripts/install-deps.sh installs them)";
    XvfbServer x;
    QTemporaryDir runtime;
    ASSERT_TRUE(startStage(x, runtime));
    QProcess manager;
    manager.setProcessEnvironment(x.environment());
    manager.start("openbox", {"--sm-disable"});
    ASSERT_TRUE(eventually([&] { return x.run("wmctrl", {"-m"}).contains("Openbox"); }));
    TempSettingsDir work;
    work.writeSettings("[Common]\r\nFont=" + std::string(kValidFontDescription) + "\r\n");

    const auto start = [&](QProcess& program) {
        prepareProgram(program, x.environment(), runtime, work);
        program.start();
        const QString window = waitForTitle(x, program.processId(), "Ravolin", kTimeoutMs);
        if (!window.isEmpty()) x.run("xdotool", {"windowfocus", "--sync", window});
        return window;
    };
    const auto exit = [&](QProcess& program) {
        x.run("xdotool", {"key", "--clearmodifiers", "alt+x"});
        return program.waitForFinished(kTimeoutMs) && program.exitCode() == 0;
    };
    const QSize wanted(1100, 850);
    {
        QProcess program;
        const QString window = start(program);
        ASSERT_FALSE(window.isEmpty()) << program.readAllStandardError().toStdString();
        EXPECT_EQ(windowSize(x, window).width(), 956);  // the template's size first
        x.run("xdotool",
              {"windowsize", "--sync", window, QString::number(wanted.width()), QString::number(wanted.height())});
        EXPECT_TRUE(eventually([&] { return windowSize(x, window) == wanted; })) << windowSize(x, window).width();
        // Smaller than the template's size is refused: the window keeps its least size.
        x.run("xdotool", {"windowsize", window, "300", "200"});
        EXPECT_TRUE(eventually([&] { return windowSize(x, window).width() == 956; }));
        x.run("xdotool",
              {"windowsize", "--sync", window, QString::number(wanted.width()), QString::number(wanted.height())});
        x.run("wmctrl", {"-i", "-r", window, "-b", "add,maximized_vert,maximized_horz"});
        ASSERT_TRUE(eventually([&] { return maximized(x, window); }));
        EXPECT_TRUE(eventually([&] { return windowSize(x, window).width() > 1200; }));
        ASSERT_TRUE(exit(program)) << program.readAllStandardError().toStdString();
    }
    QProcess again;
    const QString window = start(again);
    ASSERT_FALSE(window.isEmpty());
    EXPECT_TRUE(eventually([&] { return maximized(x, window); }));
    x.run("wmctrl", {"-i", "-r", window, "-b", "remove,maximized_vert,maximized_horz"});
    EXPECT_TRUE(eventually([&] { return !maximized(x, window) && windowSize(x, window) == wanted; }))
        << windowSize(x, window).width() << "x" << windowSize(x, window).height();
    EXPECT_TRUE(exit(again));
    manager.terminate();
    manager.waitForFinished();
}

}  // namespace
}  // namespace ravolin
