#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace ravolin {

// An X server of the test's own (Xvfb on a display it picks itself), and the X tools the end-to-end tests
// drive windows with (xdotool, xclip), all run against that display.
class XvfbServer {
public:
    static bool isInstalled();

    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
    ~XvfbServer();

    // Starts the server; false with error() set when it didn't come up.
    bool start();
    const QString& display() const { return m_display; }
    const QString& error() const { return m_error; }

    // Runs an X tool on the display; its standard output, or nothing when it failed.
    QString run(const QString& program, const QStringList& arguments) const;

    // The ids of the shown windows whose title matches `titleRegex` (and that belong to `pid`, when given).
    QStringList findWindows(const QString& titleRegex, qint64 pid = 0) const;
    // Waits until such a window exists; its id, or empty when none appeared within `timeoutMs`.
    QString waitForWindow(const QString& titleRegex, qint64 pid, int timeoutMs) const;

    // The environment a program on this display runs with (xcb, UTF-8 locale).
    QProcessEnvironment environment() const;

private:
    QProcess m_server;
    QString m_display;
    QString m_error;
};

}  // namespace ravolin
