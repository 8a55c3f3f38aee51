#include "app/ConverterApp.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTemporaryDir>

#include "settings/SettingsStore.h"
#include "testsupport/FakeFontChooser.h"
#include "testsupport/FakeMessageBox.h"
#include "testsupport/FakeOpenFileChooser.h"
#include "testsupport/FakeResultFileChooser.h"
#include "testsupport/FakeSettingsFileChooser.h"
#include "testsupport/FakeTone.h"
#include "testsupport/FakeTrayIcon.h"
#include "testsupport/core/TempSettingsDir.h"
#include "ui/ConverterDialog.h"

namespace ravolin {
namespace {

// The start sequence with a lock directory, a working directory and a dialog run of the test's own.
class StartSequence : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_locks.isValid());
        m_lockDirectory = m_locks.path().toStdString();
        ASSERT_EQ(chmod(m_lockDirectory.c_str(), 0700), 0);
    }

    AppServices services() {
        AppServices s{.dialog = {.messageBox = messageBox,
                                 .tone = tone,
                                 .fontChooser = fontChooser,
                                 .trayIcon = trayIcon,
                                 .resultFileChooser = resultFileChooser,
                                 .openFileChooser = openFileChooser,
                                 .settingsFileChooser = settingsFileChooser}};
        s.acquireInstance = [this] {
            steps.push_back("lock");
            return SingleInstance::acquireIn(m_lockDirectory, kInstanceLockName);
        };
        s.workingDirectory = [this] {
            steps.push_back("directory");
            return workingDirectory;
        };
        s.runDialog = [this](ConverterDialog& dialog) {
            steps.push_back("dialog");
            dialogPath = dialog.settingsPath();
            dialogFileNamed = dialog.settingsFileNamed();
            mainWindowWhileRunning = app->m_pMainWnd == &dialog;
            return IDOK;
        };
        s.diagnostics = &diagnostics;
        s.handOver = [this](const std::string& channel, const std::string& file) {
            handedOver.push_back(channel + " " + file);
            return runningCopyTakes;
        };
        return s;
    }

    SingleInstance holdLock() const { return SingleInstance::acquireIn(m_lockDirectory, kInstanceLockName); }
    std::string channelPath() const { return m_lockDirectory + "/" + kInstanceLockName + ".socket"; }

    TempSettingsDir settings;
    FakeMessageBox messageBox;
    FakeTone tone;
    FakeFontChooser fontChooser;
    FakeTrayIcon trayIcon;
    FakeResultFileChooser resultFileChooser;
    FakeOpenFileChooser openFileChooser;
    FakeSettingsFileChooser settingsFileChooser;
    Settings record;
    WorkingDirectory workingDirectory{settings.directory(), {}};
    std::vector<std::string> steps;
    std::string dialogPath;
    bool dialogFileNamed = false;
    bool mainWindowWhileRunning = false;
    // What was handed to a running copy, and whether it takes it.
    std::vector<std::string> handedOver;
    bool runningCopyTakes = true;
    std::ostringstream diagnostics;
    std::unique_ptr<ConverterApp> app;

private:
    QTemporaryDir m_locks;
    std::string m_lockDirectory;
};

TEST_F(StartSequence, firstCopy_runsTheDialogOnTheWorkingDirectorysSettings) {
    app = std::make_unique<ConverterApp>(services(), record);
    EXPECT_FALSE(app->InitInstance());
    EXPECT_EQ(steps, (std::vector<std::string>{"lock", "directory", "dialog"}));
    EXPECT_EQ(dialogPath, settings.directory() + "/RavolinSetting.ini");
    EXPECT_EQ(app->m_pszProfileName, dialogPath);
    EXPECT_TRUE(mainWindowWhileRunning);
    EXPECT_EQ(app->m_pMainWnd, nullptr);
    EXPECT_TRUE(messageBox.calls().empty());
    // The lock is held for as long as the application lives.
    EXPECT_EQ(holdLock().status(), SingleInstance::Status::AlreadyRunning);
    EXPECT_EQ(app->ExitInstance(), 0);
    app.reset();
    EXPECT_EQ(holdLock().status(), SingleInstance::Status::Owner);
}

TEST_F(StartSequence, secondCopy_isRefusedWithoutTouchingSettings) {
    settings.writeSettings("[Common]\r\nLoop=3\r\n");
    const std::string before = settings.readSettingsBytes();
    const SingleInstance running = holdLock();
    ASSERT_EQ(running.status(), SingleInstance::Status::Owner);
    messageBox.scriptAnswer(IDOK);

    app = std::make_unique<ConverterApp>(services(), record);
    EXPECT_FALSE(app->InitInstance());

    ASSERT_EQ(messageBox.calls().size(), 1u);
    const MessageBoxCall& call = messageBox.calls()[0];
    EXPECT_EQ(call.owner, nullptr);
    EXPECT_EQ(call.text, "すでに起動しています");
    EXPECT_EQ(call.caption, "警告");
    EXPECT_EQ(call.type, MB_OK | MB_ICONHAND);
    EXPECT_EQ(call.type, 0x10u);
    EXPECT_EQ(steps, std::vector<std::string>{"lock"});  // no settings path, no dialog
    EXPECT_FALSE(app->m_pszProfileName.has_value());
    EXPECT_EQ(settings.readSettingsBytes(), before);
    EXPECT_TRUE(record.counters[0].token.empty());  // nothing was loaded
    EXPECT_EQ(app->ExitInstance(), 1);              // a refused start is no success
}

TEST_F(StartSequence, aFileNamedOnTheCommandLineIsTheSettingsFile_relativeToTheStartFolder) {
    struct Case {
        std::string file;
        std::string path;
    };
    const Case cases[] = {
        {"", settings.directory() + "/RavolinSetting.ini"},
        {"jobs/名簿.ini", settings.directory() + "/jobs/名簿.ini"},
        {"/elsewhere/job.ini", "/elsewhere/job.ini"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        AppServices s = services();
        s.settingsFile = c.file;
        app = std::make_unique<ConverterApp>(std::move(s), record);
        EXPECT_FALSE(app->InitInstance());
        EXPECT_EQ(dialogPath, c.path);
        EXPECT_EQ(dialogFileNamed, !c.file.empty());
        EXPECT_EQ(app->ExitInstance(), 0);
        app.reset();
    }
    EXPECT_TRUE(handedOver.empty());
}

TEST_F(StartSequence, secondCopyWithAFile_handsItToTheRunningCopy_orIsRefusedWhenNoneTakesIt) {
    const SingleInstance running = holdLock();
    ASSERT_EQ(running.status(), SingleInstance::Status::Owner);
    struct Case {
        std::string file;
        bool takes;
        int exitCode;
        bool refused;
    };
    const Case cases[] = {{"job.ini", true, 0, false}, {"job.ini", false, 1, true}, {"", true, 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + (c.takes ? " taken" : " not taken"));
        handedOver.clear();
        runningCopyTakes = c.takes;
        if (c.refused) messageBox.scriptAnswer(IDOK);
        const std::size_t boxes = messageBox.calls().size();
        AppServices s = services();
        s.settingsFile = c.file;
        app = std::make_unique<ConverterApp>(std::move(s), record);
        EXPECT_FALSE(app->InitInstance());
        EXPECT_EQ(app->ExitInstance(), c.exitCode);
        EXPECT_EQ(messageBox.calls().size(), boxes + (c.refused ? 1 : 0));
        EXPECT_EQ(handedOver,
                  c.file.empty() ? std::vector<std::string>{}
                                 : std::vector<std::string>{channelPath() + " " + settings.directory() + "/" + c.file});
        EXPECT_FALSE(app->m_pszProfileName.has_value());
    }
}

TEST_F(StartSequence, unreadableWorkingDirectory_fallsBackToTheBareFileName) {
    workingDirectory = {{}, "cannot read the working directory: No such file or directory"};
    app = std::make_unique<ConverterApp>(services(), record);
    EXPECT_FALSE(app->InitInstance());
    EXPECT_EQ(dialogPath, "RavolinSetting.ini");
    EXPECT_NE(diagnostics.str().find("No such file or directory"), std::string::npos) << diagnostics.str();
}

TEST_F(StartSequence, lockThatCannotBeTaken_endsWithoutWindowButSaysWhy) {
    AppServices s = services();
    s.acquireInstance = [] { return SingleInstance::acquireIn("/nonexistent-ravolin-dir", kInstanceLockName); };
    app = std::make_unique<ConverterApp>(std::move(s), record);
    messageBox.scriptAnswer(IDOK);
    EXPECT_FALSE(app->InitInstance());
    EXPECT_TRUE(steps.empty());
    EXPECT_NE(diagnostics.str().find("/nonexistent-ravolin-dir/Ravolin_Replace"), std::string::npos);
    // Where no one reads standard error (a start from the menu), the box says it.
    ASSERT_EQ(messageBox.calls().size(), 1u);
    const MessageBoxCall& call = messageBox.calls()[0];
    EXPECT_EQ(call.owner, nullptr);
    EXPECT_EQ(call.caption, "警告");
    EXPECT_EQ(call.type, MB_OK | MB_ICONHAND);
    EXPECT_EQ(
        call.text.rfind("Ravolin を起動できません。\r\n二重起動を防ぐためのロックを取得できませんでした。\r\n\r\n", 0),
        0u);
    EXPECT_NE(call.text.find("/nonexistent-ravolin-dir/Ravolin_Replace"), std::string::npos) << call.text;
    // The reason in the desktop's language, as the C library words it.
    EXPECT_NE(call.text.find(std::strerror(ENOENT)), std::string::npos) << call.text;
    EXPECT_EQ(app->ExitInstance(), 1);
}

// With --user-folder (the desktop menu's start) a folder that can't be had is told in a box, as the lock is,
// before any lock or settings file is touched.
TEST_F(StartSequence, userFolderThatCannotBeHad_endsWithoutWindowButSaysWhy) {
    const std::string file = settings.directory() + "/config";
    { std::ofstream(file) << "a file where ~/.config should be"; }
    struct Case {
        const char* xdgConfigHome;
        const char* home;
        std::string folder;  // as the box names it
        std::string reason;
    };
    const Case cases[] = {
        {file.c_str(), nullptr, file + "/ravolin", "cannot create " + file + "/ravolin: " + std::strerror(ENOTDIR)},
        {nullptr, "relative/home", "~/.config/ravolin", "neither XDG_CONFIG_HOME nor HOME names an absolute folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        steps.clear();
        const std::size_t before = messageBox.calls().size();
        AppServices s = services();
        s.userFolder = [&c] { return prepareUserFolder(c.xdgConfigHome, c.home); };
        app = std::make_unique<ConverterApp>(std::move(s), record);
        messageBox.scriptAnswer(IDOK);
        EXPECT_FALSE(app->InitInstance());
        EXPECT_TRUE(steps.empty());
        EXPECT_EQ(app->ExitInstance(), 1);
        ASSERT_EQ(messageBox.calls().size(), before + 1);
        const MessageBoxCall& call = messageBox.calls().back();
        EXPECT_EQ(call.owner, nullptr);
        EXPECT_EQ(call.caption, "警告");
        EXPECT_EQ(call.type, MB_OK | MB_ICONHAND);
        EXPECT_EQ(call.text,
                  "Ravolin を起動できません。\r\n設定を保存するフォルダーを用意できませんでした。\r\n\r\n"
                  "フォルダー: " +
                      c.folder + "\r\n理由: " + c.reason);
        EXPECT_NE(diagnostics.str().find(c.reason), std::string::npos);
    }
}

// The session manager's last word is a Quit to the application, on which Qt would close the window through
// the exit's questions: the work is kept as auto-save keeps it and the program ends, asking nothing.
TEST_F(StartSequence, quitFromTheSessionManager_keepsTheWorkWithAutoSave_andAsksNothing) {
    for (const int autoSave : {1, 0}) {
        SCOPED_TRACE(autoSave);
        settings.writeSettings("[Common]\r\nAutoSave=" + std::to_string(autoSave) +
                               "\r\nFont=" + kValidFontDescription + "\r\n");
        const std::string before = settings.readSettingsBytes();
        int quits = 0;
        AppServices s = services();
        s.quit = [&quits] { ++quits; };
        s.runDialog = [](ConverterDialog& dialog) {
            dialog.Create();
            dialog.show();
            dialog.SetDlgItemText(kIdTemplate, "typed");
            QEvent quit(QEvent::Quit);
            QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
            return 0;
        };
        app = std::make_unique<ConverterApp>(std::move(s), record);
        app->InitInstance();
        EXPECT_EQ(quits, 1);
        EXPECT_TRUE(messageBox.calls().empty());
        Document loaded;
        loadSettingsFile(settings.settingsPath(), loaded);
        const WindowSettings& stored = loaded.window;
        if (autoSave) {
            EXPECT_EQ(stored.templateText, "typed");
        } else {
            EXPECT_EQ(settings.readSettingsBytes(), before);
        }
        app.reset();
    }
}

TEST(SettingsPath, isTheDirectoryPlusTheFileName) {
    EXPECT_EQ(settingsPathIn({"/home/user/work", {}}), "/home/user/work/RavolinSetting.ini");
    EXPECT_EQ(settingsPathIn({"/", {}}), "//RavolinSetting.ini");  // appended as it stands
    const std::string deep = "/" + std::string(5000, 'd');
    EXPECT_EQ(settingsPathIn({deep, {}}), deep + "/RavolinSetting.ini");
    EXPECT_EQ(settingsPathIn({{}, "failed"}), "RavolinSetting.ini");
}

}  // namespace
}  // namespace ravolin
