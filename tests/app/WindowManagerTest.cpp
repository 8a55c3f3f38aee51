#include <gtest/gtest.h>

#include <initializer_list>

#include <QDeadlineTimer>
#include <QFile>
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

bool installed(std::initializer_list<const char*> tools) {
    if (!XvfbServer::isInstalled()) return false;
    for (const char* tool : tools) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) return false;
    }
    return true;
}

// The environment of the desktop's own programs on the server: their logs and caches go into `home`, the test's.
QProcessEnvironment desktopEnvironment(const XvfbServer& x, const TempSettingsDir& home) {
    QProcessEnvironment env = x.environment();
    const QString folder = QString::fromStdString(home.directory());
    env.insert("HOME", folder);
    env.insert("XDG_CACHE_HOME", folder + "/.cache");
    env.insert("XDG_CONFIG_HOME", folder + "/.config");
    env.insert("XDG_DATA_HOME", folder + "/.local/share");
    return env;
}

// Openbox on the server, once it has taken over.
bool startOpenbox(const XvfbServer& x, const TempSettingsDir& home, QProcess& manager,
                  const QStringList& arguments = {}) {
    manager.setProcessEnvironment(desktopEnvironment(x, home));
    manager.start("openbox", QStringList{"--sm-disable"} + arguments);
    return eventually([&] { return x.run("wmctrl", {"-m"}).contains("Openbox"); });
}

// The real program under a window manager: resized and maximized by it, and found again so at the next start.
TEST(ProgramUnderAWindowManager, isResizedAndMaximizedAndComesBackAsItWasLeft) {
    if (!installed({"openbox", "wmctrl"}))
        GTEST_SKIP() << "Xvfb, openbox or wmctrl is not installed (scripts/install-deps.sh installs them)";
    XvfbServer x;
    QTemporaryDir runtime;
    ASSERT_TRUE(startStage(x, runtime));
    TempSettingsDir work;
    QProcess manager;
    ASSERT_TRUE(startOpenbox(x, work, manager));
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
    // Each change is made by the window manager, then the program ends (its key comes after the change on the
    // X connection, so the program has seen it) and starts again.
    const QSize wanted(1100, 850);
    QProcess program;
    QString window = start(program);
    ASSERT_FALSE(window.isEmpty()) << program.readAllStandardError().toStdString();
    EXPECT_EQ(windowSize(x, window).width(), 956);  // the template's size first
    // Smaller than the template's size is refused: the window keeps its least size.
    x.run("xdotool", {"windowsize", window, "300", "200"});
    EXPECT_TRUE(eventually([&] { return windowSize(x, window).width() == 956; }));
    x.run("xdotool",
          {"windowsize", "--sync", window, QString::number(wanted.width()), QString::number(wanted.height())});
    ASSERT_TRUE(eventually([&] { return windowSize(x, window) == wanted; })) << windowSize(x, window).width();
    ASSERT_TRUE(exit(program)) << program.readAllStandardError().toStdString();

    QProcess resized;
    window = start(resized);
    ASSERT_FALSE(window.isEmpty());
    EXPECT_TRUE(eventually([&] { return windowSize(x, window) == wanted; })) << windowSize(x, window).width();
    EXPECT_FALSE(maximized(x, window));
    x.run("wmctrl", {"-i", "-r", window, "-b", "add,maximized_vert,maximized_horz"});
    ASSERT_TRUE(eventually([&] { return maximized(x, window) && windowSize(x, window).width() > 1200; }));
    ASSERT_TRUE(exit(resized));

    QProcess maximizedAgain;
    window = start(maximizedAgain);
    ASSERT_FALSE(window.isEmpty());
    EXPECT_TRUE(eventually([&] { return maximized(x, window) && windowSize(x, window).width() > 1200; }));
    EXPECT_TRUE(exit(maximizedAgain));
    manager.terminate();
    manager.waitForFinished();
}

// Minimized into a notification area (trayer's) and restored from its icon, the window has the keyboard again:
// the program asks for it, as the window manager here gives no window it maps the focus.
TEST(ProgramUnderAWindowManager, restoredFromTheNotificationAreaIsActivated) {
    if (!installed({"openbox", "wmctrl", "trayer"}))
        GTEST_SKIP() << "Xvfb, openbox, wmctrl or trayer is not installed (scripts/install-deps.sh installs them)";
    XvfbServer x;
    QTemporaryDir runtime;
    ASSERT_TRUE(startStage(x, runtime));
    TempSettingsDir work;
    const QString config = QString::fromStdString(work.directory() + "/openbox.xml");
    QFile rc(config);
    ASSERT_TRUE(rc.open(QIODevice::WriteOnly));
    rc.write(
        "<openbox_config xmlns=\"http://openbox.org/3.4/rc\"><focus><focusNew>no</focusNew></focus>"
        "</openbox_config>\n");
    rc.close();
    QProcess manager;
    ASSERT_TRUE(startOpenbox(x, work, manager, {"--config-file", config}));
    QProcess area;
    area.setProcessEnvironment(desktopEnvironment(x, work));
    area.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "100"});
    ASSERT_FALSE(x.waitForWindow("^panel$", area.processId(), kTimeoutMs).isEmpty()) << "no notification area";

    work.writeSettings("[Common]\r\nTray=1\r\nFont=" + std::string(kValidFontDescription) + "\r\n");
    QProcess program;
    prepareProgram(program, x.environment(), runtime, work);
    program.start();
    const QString window = waitForTitle(x, program.processId(), "Ravolin", kTimeoutMs);
    ASSERT_FALSE(window.isEmpty()) << program.readAllStandardError().toStdString();
    x.run("xdotool", {"windowminimize", window});
    // Hidden, and what the program still shows is its icon.
    QString icon;
    ASSERT_TRUE(eventually([&] {
        const QStringList shown = x.findWindows(".*", program.processId());
        icon = shown.size() == 1 && shown.front() != window ? shown.front() : QString();
        return !icon.isEmpty();
    }));
    x.run("xdotool", {"mousemove", "--window", icon, "8", "8", "click", "--repeat", "2", "--delay", "80", "1"});
    EXPECT_TRUE(eventually([&] { return x.run("xdotool", {"getactivewindow"}).trimmed() == window; }))
        << x.run("xdotool", {"getactivewindow"}).toStdString();
    program.terminate();
    EXPECT_TRUE(program.waitForFinished(kTimeoutMs));
    area.terminate();
    area.waitForFinished();
    manager.terminate();
    manager.waitForFinished();
}

}  // namespace
}  // namespace ravolin
