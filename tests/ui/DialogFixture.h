#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QTest>

#include "settings/Settings.h"
#include "testsupport/FakeFontChooser.h"
#include "testsupport/FakeMessageBox.h"
#include "testsupport/FakeOpenFileChooser.h"
#include "testsupport/FakeResultFileChooser.h"
#include "testsupport/FakeSettingsFileChooser.h"
#include "testsupport/FakeTone.h"
#include "testsupport/FakeTrayIcon.h"
#include "testsupport/core/TempSettingsDir.h"
#include "ui/ConverterDialog.h"
#include "ui/OutputView.h"

namespace ravolin {

// Puts the window in states no command makes.
struct ConverterDialogTestAccess {
    static void setFlagsWithoutMarks(ConverterDialog& dialog, std::int32_t beep, std::int32_t tray) {
        dialog.m_bBeep = beep;
        dialog.m_bTray = tray;
    }
    // The largest result the pane takes and the copy that asks first, lowered so a test reaches them quickly.
    static void setOutputLimits(ConverterDialog& dialog, std::size_t paneBytes, std::size_t copyQuestionBytes) {
        dialog.m_outputLimit = paneBytes;
        qobject_cast<OutputView*>(dialog.GetDlgItem(kIdOutput))
            ->setLargeCopyQuestion(copyQuestionBytes,
                                   [&dialog](std::size_t selected) { return dialog.askLargeCopy(selected); });
    }
};

// Holds the threads that reach it until the test opens it.
class Gate {
public:
    void open() {
        {
            const std::lock_guard lock(m_mutex);
            m_open = true;
        }
        m_opened.notify_all();
    }
    void close() {
        const std::lock_guard lock(m_mutex);
        m_open = false;
    }
    void wait() {
        std::unique_lock lock(m_mutex);
        m_opened.wait(lock, [this] { return m_open; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_open = false;
};

// Waits for `condition` while the user-interface thread goes on handling events.
// Changes what the window shows as its menus, boxes and fields would, in one step.
inline void changeDocument(ConverterDialog& dialog, const std::function<void(Document&)>& change) {
    Document document = dialog.documentShown();
    change(document);
    dialog.showDocument(document);
}

inline bool eventually(const std::function<bool()>& condition, int timeoutMs = 20000) {
    return QTest::qWaitFor(condition, timeoutMs);
}

// A main dialog on a temporary settings file, with a scripted message box, font chooser and notification
// area, a recording tone, and modal runs recorded instead of run.
class DialogFixture : public ::testing::Test {
protected:
    // A run may outlive its dialog: the tone and the gate it may wait at stay until every worker has ended.
    void TearDown() override {
        beepGate.open();
        dialog.reset();
        EXPECT_TRUE(eventually([] { return ConverterDialog::liveWorkerCount() == 0; })) << "a worker never ended";
    }

    // Writes a settings file whose "Common" section carries a font that parses, plus `rest` (CR LF lines).
    void writeSettingsWithFont(const std::string& common, const std::string& rest = {}) {
        dir.writeSettings("[Common]\r\nFont=" + std::string(kValidFontDescription) + "\r\n" + common + rest);
    }

    // Creates the window (OnInitDialog runs); it stays hidden. `named`: the settings file was named to start with.
    void create(const std::string& settingsPath = {}, bool named = false) {
        DialogServices services{.messageBox = messageBox,
                                .runModal =
                                    [this](QDialog& modal) {
                                        modalRuns.push_back(modal.windowTitle().toStdString());
                                        return onModal ? onModal(modal) : 1;
                                    },
                                .tone = tone,
                                .fontChooser = fontChooser,
                                .trayIcon = trayIcon,
                                .resultFileChooser = resultFileChooser,
                                .openFileChooser = openFileChooser,
                                .settingsFileChooser = settingsFileChooser,
                                .windowStateFile = [this](bool) { return windowStateFile; },
                                .recentFilesFile = [this](bool) { return recentFilesFile; }};
        if (fontPlan) services.japaneseFonts = [this] { return *fontPlan; };
        dialog = std::make_unique<ConverterDialog>(std::move(services),
                                                   settingsPath.empty() ? dir.settingsPath() : settingsPath, record);
        dialog->setSettingsFileNamed(named);
        dialog->Create();
    }

    // Every later run waits inside its beep until beepGate opens.
    void holdRunsAtBeep() {
        tone.setOnBeep([this] { beepGate.wait(); });
    }

    // Starts a run that stops inside its beep until beepGate opens.
    void startHeldRun() {
        changeDocument(*dialog, [](Document& d) { d.window.beep = 1; });
        holdRunsAtBeep();
        const std::size_t before = tone.callCount();
        dialog->OnCommand(kIdExecute);
        ASSERT_TRUE(eventually([this, before] { return tone.callCount() == before + 1; }))
            << "the run never reached its beep";
    }

    // Starts a run with button 1006 and waits until it has ended.
    void runToEnd() {
        dialog->OnCommand(kIdExecute);
        ASSERT_TRUE(dialog->isRunning());
        ASSERT_TRUE(eventually([this] { return !dialog->isRunning(); })) << "the run never ended";
    }

    void show() {
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    void createAndShow() {
        create();
        show();
    }

    template <typename Widget>
    Widget* control(int id) const {
        auto* widget = qobject_cast<Widget*>(dialog->GetDlgItem(id));
        EXPECT_NE(widget, nullptr) << "control " << id;
        return widget;
    }

    // The refusal of whatever would end the window during a run.
    static void expectBusyWarning(const MessageBoxCall& call) {
        EXPECT_EQ(call.text, "処理が実行中なのでこの操作はできません");
        EXPECT_EQ(call.caption, "警告");
        EXPECT_EQ(call.type, MB_OK | MB_ICONEXCLAMATION);
    }

    // The dialog ended (OnOK ran) rather than staying open.
    bool ended() const { return dialog->isHidden() && dialog->result() == IDOK; }

    TempSettingsDir dir;
    FakeTone tone;
    Gate beepGate;
    FakeMessageBox messageBox;
    FakeFontChooser fontChooser;
    FakeTrayIcon trayIcon;
    FakeResultFileChooser resultFileChooser;
    FakeOpenFileChooser openFileChooser;
    FakeSettingsFileChooser settingsFileChooser;
    Settings record;
    std::vector<std::string> modalRuns;
    // What a modal dialog does while it runs, and the result it ends with; OK by default.
    std::function<int(QDialog&)> onModal;
    // Where the window keeps its size between starts; none while empty.
    std::string windowStateFile;
    // Where the window keeps the settings files last opened or saved; none while empty.
    std::string recentFilesFile;
    // Which face draws the window, when a test says so rather than the installed fonts.
    std::optional<JapaneseFontPlan> fontPlan;
    std::unique_ptr<ConverterDialog> dialog;
};

}  // namespace ravolin
