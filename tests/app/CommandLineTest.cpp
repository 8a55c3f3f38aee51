#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "app/CommandLine.h"
#include "tests/app/ProgramProcess.h"
#include "testsupport/core/TestFiles.h"

namespace ravolin {
namespace {

// Everything that must answer before, or instead of, a window: no display is needed or touched.
TEST(CommandLine, answersWithoutADisplay) {
    struct Case {
        QStringList args;
        QStringList env;  // added to an environment without any display
        int exitCode;
        QString out;  // the start of standard output
        QString err;  // the whole of standard error
    };
    const QString noDisplay = QString::fromUtf8(noDisplayText());
    QTemporaryDir runtime;  // where a Wayland compositor's socket would be
    ASSERT_TRUE(makePrivateRuntimeDir(runtime));
    const QString runtimeDir = "XDG_RUNTIME_DIR=" + runtime.path();
    const Case cases[] = {
        {{"--help"}, {}, 0, "Usage: ravolin [--user-folder] [FILE]\n", ""},
        {{"--he"}, {}, 0, "Usage: ravolin [--user-folder] [FILE]\n", ""},  // an abbreviation
        {{"--version"}, {}, 0, "ravolin " RAVOLIN_VERSION "\n", ""},
        {{"--bogus"}, {}, 2, "", "ravolin: unknown or ambiguous option \"--bogus\"\n" + QString(usageText())},
        {{"a.ini", "b.ini"}, {}, 2, "", "ravolin: unexpected argument \"b.ini\"\n" + QString(usageText())},
        {{}, {}, 1, "", noDisplay},
        {{"--user-folder", "file.ini"}, {}, 1, "", noDisplay},
        {{"--user-folder"}, {}, 1, "", noDisplay},
        // A display refusing the connection (X, Wayland): Qt's fatal error becomes the same line, not an abort.
        {{}, {"DISPLAY=:93"}, 1, "", noDisplay},
        {{}, {"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=ravolin-none", runtimeDir}, 1, "", noDisplay},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString() + " " + c.env.join(' ').toStdString());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
        for (const QString& entry : c.env) env.insert(entry.section('=', 0, 0), entry.section('=', 1));
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(RAVOLIN_EXECUTABLE, c.args);
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), c.exitCode);
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        EXPECT_EQ(out.left(c.out.size()), c.out);
        if (c.out.isEmpty()) {
            EXPECT_EQ(out, "");
        }
        EXPECT_EQ(QString::fromUtf8(program.readAllStandardError()), c.err);
    }
}

// A platform plugin that can't be had is no missing display: Qt's own words name it, with nothing added.
TEST(CommandLine, platformThatFailsIsToldInQtsWords) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "nosuchplatform");
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(RAVOLIN_EXECUTABLE, QStringList());
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    const std::string err = program.readAllStandardError().toStdString();
    EXPECT_EQ(err.rfind("qt.qpa.plugin: Could not find the Qt platform plugin \"nosuchplatform\"", 0), 0u) << err;
    EXPECT_NE(err.find("\nThis application failed to start because no Qt platform plugin could be initialized."),
              std::string::npos)
        << err;
    EXPECT_EQ(err.find(noDisplayText()), std::string::npos) << err;
}

TEST(CommandLine, userFolderBecomesTheWorkingDirectory) {
    QTemporaryDir runtime;
    ASSERT_TRUE(makePrivateRuntimeDir(runtime));
    TempSettingsDir work;
    QTemporaryDir config;
    const QString folder = config.path() + "/ravolin";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", config.path());
    QProcess program;
    prepareProgram(program, env, runtime, work);
    program.setArguments({kUserFolderOption});
    program.start();
    ASSERT_TRUE(program.waitForStarted(10000));
    const QString cwd = QString("/proc/%1/cwd").arg(program.processId());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo(cwd).canonicalFilePath() == folder; }, 20000))
        << QFileInfo(cwd).canonicalFilePath().toStdString();
    struct stat info {};
    ASSERT_EQ(stat(folder.toLocal8Bit().constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    program.kill();
    program.waitForFinished(10000);
}

// Started from the desktop menu, a per-user folder that can't be made is told in a box, not only on standard
// error, and the start ends with status 1.
TEST(CommandLine, userFolderThatCannotBeMadeIsToldInABox) {
    if (!XvfbServer::isInstalled()) GTEST_SKIP() << "Xvfb is not installed: no X server to run the program on";
    XvfbServer x;
    QTemporaryDir runtime;
    ASSERT_TRUE(startStage(x, runtime));
    TempSettingsDir work;
    const std::string notAFolder = work.directory() + "/config";
    test::writeFile(notAFolder, "a file where the configuration folder should be");
    QProcessEnvironment env = x.environment();
    env.insert("XDG_CONFIG_HOME", QString::fromStdString(notAFolder));
    QProcess program;
    prepareProgram(program, env, runtime, work);
    program.setArguments({kUserFolderOption});
    program.start();
    const QString warning = x.waitForWindow("^警告$", program.processId(), 20000);
    ASSERT_FALSE(warning.isEmpty()) << program.readAllStandardError().toStdString();
    x.run("xdotool", {"windowfocus", "--sync", warning});
    x.run("xdotool", {"key", "Return"});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_NE(program.readAllStandardError().toStdString().find("cannot create " + notAFolder + "/ravolin"),
              std::string::npos);
}

}  // namespace
}  // namespace ravolin
