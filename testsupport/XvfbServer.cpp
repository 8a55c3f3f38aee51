#include "testsupport/XvfbServer.h"

#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QThread>

namespace ravolin {
namespace {

constexpr int kStartTimeoutMs = 20000;
constexpr int kToolTimeoutMs = 10000;
constexpr int kPollMs = 50;

}  // namespace

bool XvfbServer::isInstalled() { return !QStandardPaths::findExecutable("Xvfb").isEmpty(); }

XvfbServer::~XvfbServer() {
    if (m_server.state() != QProcess::NotRunning) {
        m_server.terminate();
        if (!m_server.waitForFinished(kToolTimeoutMs)) {
            m_server.kill();
            m_server.waitForFinished(kToolTimeoutMs);
        }
    }
}

bool XvfbServer::start() {
    // -displayfd: the server picks a free display and writes its number once it accepts connections.
    // -noreset: the server stays as it is when its last client goes, as after killing the only program.
    m_server.start("Xvfb", {"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"});
    QDeadlineTimer deadline(kStartTimeoutMs);
    QByteArray number;
    while (!number.contains('\n')) {
        if (!m_server.waitForReadyRead(static_cast<int>(deadline.remainingTime())) || deadline.hasExpired()) {
            m_error = "Xvfb did not report a display: " + QString::fromLocal8Bit(m_server.readAllStandardError());
            return false;
        }
        number += m_server.readAllStandardOutput();
    }
    m_display = ":" + QString::fromLatin1(number.trimmed());
    return true;
}

QProcessEnvironment XvfbServer::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("LC_ALL", "C.UTF-8");
    env.remove("WAYLAND_DISPLAY");
    return env;
}

QString XvfbServer::run(const QString& program, const QStringList& arguments) const {
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start(program, arguments);
    if (!tool.waitForFinished(kToolTimeoutMs) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        tool.kill();
        tool.waitForFinished(kToolTimeoutMs);
        return {};
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QStringList XvfbServer::findWindows(const QString& titleRegex, qint64 pid) const {
    QStringList arguments{"search", "--all", "--onlyvisible"};
    if (pid != 0) arguments << "--pid" << QString::number(pid);
    arguments << "--name" << titleRegex;
    return run("xdotool", arguments).split('\n', Qt::SkipEmptyParts);
}

QString XvfbServer::waitForWindow(const QString& titleRegex, qint64 pid, int timeoutMs) const {
    QDeadlineTimer deadline(timeoutMs);
    do {
        const QStringList found = findWindows(titleRegex, pid);
        if (!found.isEmpty()) return found.first();
        QThread::msleep(kPollMs);
    } while (!deadline.hasExpired());
    return {};
}

}  // namespace ravolin
