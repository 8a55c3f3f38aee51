#pragma once

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSize>
#include <QTemporaryDir>
#include <QThread>

#include "testsupport/XvfbServer.h"
#include "testsupport/core/TempSettingsDir.h"

namespace ravolin {

// A lock directory as the program accepts one: a fresh folder only its owner may enter.
inline bool makePrivateRuntimeDir(const QTemporaryDir& runtime) {
    return runtime.isValid() && chmod(runtime.path().toLocal8Bit().constData(), 0700) == 0;
}

// The X server and the lock directory of a test that runs the real program.
inline ::testing::AssertionResult startStage(XvfbServer& x, const QTemporaryDir& runtime) {
    if (!x.start()) return ::testing::AssertionFailure() << x.error().toStdString();
    if (!makePrivateRuntimeDir(runtime)) return ::testing::AssertionFailure() << "no private lock directory";
    return ::testing::AssertionSuccess();
}

// Makes `program` the real Ravolin, started in `work`, which is its home too, with `runtime` as its lock
// directory and `env` as the rest of its environment. Under the sanitizers, what libdbus keeps until exit is not the
// program's leak.
inline void prepareProgram(QProcess& program, QProcessEnvironment env, const QTemporaryDir& runtime,
                           const TempSettingsDir& work) {
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    // A home in the test's folder: the program saves results there at first and Qt keeps its dialogs' state under
    // it, never in the home of whoever runs the tests. A configuration folder the caller chose stays.
    const QString home = QString::fromStdString(work.directory());
    env.insert("HOME", home);
    if (env.value("XDG_CONFIG_HOME") == qEnvironmentVariable("XDG_CONFIG_HOME"))
        env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("LSAN_OPTIONS", env.value("LSAN_OPTIONS") + ":suppressions=" RAVOLIN_LSAN_SUPPRESSIONS);
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(QString::fromStdString(work.directory()));
    program.setProgram(RAVOLIN_EXECUTABLE);
}

// The window of `pid` titled `title` once it shows within the timeout, or an empty text. The title is read
// from _NET_WM_NAME, always UTF-8: under EUC-JP the program's WM_NAME is compound text, which xdotool's search
// doesn't decode.
inline QString waitForTitle(const XvfbServer& x, qint64 pid, const QString& title, int timeoutMs = 20000) {
    QDeadlineTimer deadline(timeoutMs);
    do {
        const QString windows = x.run("xdotool", {"search", "--onlyvisible", "--pid", QString::number(pid)});
        for (const QString& window : windows.split('\n', Qt::SkipEmptyParts)) {
            if (x.run("xprop", {"-id", window, "_NET_WM_NAME"}).contains('"' + title + '"')) return window;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return {};
}

// What xdotool reports of a window's size.
inline QSize windowSize(const XvfbServer& x, const QString& window) {
    const QString shell = x.run("xdotool", {"getwindowgeometry", "--shell", window});
    const auto value = [&shell](const char* key) {
        return QRegularExpression(QStringLiteral("%1=(\\d+)").arg(key)).match(shell).captured(1).toInt();
    };
    return {value("WIDTH"), value("HEIGHT")};
}

// Waits for the window titled `title` and gives it the keyboard. A window can be mapped before the X server
// gives it the focus; keys sent in between go to the window beneath, which a modal dialog blocks.
inline bool focusTitled(const XvfbServer& x, qint64 pid, const QString& title, int timeoutMs = 20000) {
    const QString window = waitForTitle(x, pid, title, timeoutMs);
    if (window.isEmpty()) return false;
    x.run("xdotool", {"windowfocus", "--sync", window});
    return true;
}

}  // namespace ravolin
