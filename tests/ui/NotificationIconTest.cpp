#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QTabBar>
#include <QTimer>
#include <QWindow>

#include "settings/SettingsStore.h"
#include "tests/ui/DialogFixture.h"
#include "ui/DialogTexts.h"
#include "ui/controls/TabControl.h"

namespace ravolin {
namespace {

constexpr unsigned kWmMouseMove = 0x0200;
constexpr unsigned kWmLButtonUp = 0x0202;
constexpr unsigned kWmRButtonUp = 0x0205;
constexpr unsigned kWmRButtonDblClk = 0x0206;

struct Minimize {
    const char* by;
    std::function<void(ConverterDialog&)> apply;
};

// The window system's minimize (the title bar's button, a window manager) and the system command.
const Minimize kMinimizeRoutes[] = {
    {"window system",
     [](ConverterDialog& dialog) {
         dialog.windowHandle()->showMinimized();
         QCoreApplication::processEvents();  // the platform reports the new state as an event
     }},
    {"system command", [](ConverterDialog& dialog) { dialog.OnSysCommand(SC_MINIMIZE); }},
};

class NotificationIcon : public DialogFixture {
protected:
    void SetUp() override { start("Tray=1\r\n"); }

    void start(const std::string& common) {
        writeSettingsWithFont(common);
        createAndShow();
        trayIcon.setCursorPos(QPoint(310, 205));
    }

    void intoTray() {
        dialog->OnSysCommand(SC_MINIMIZE);
        ASSERT_TRUE(inTray());
    }

    // Minimized and hidden (so without a taskbar entry), with the icon shown.
    bool inTray() const {
        return dialog->isHidden() && dialog->isMinimized() && !dialog->windowHandle()->isVisible() &&
               trayIcon.isPresent() && trayIcon.tip() == "RavArchive";
    }
    bool minimizedAsUsual() const { return dialog->isVisible() && dialog->isMinimized(); }
    bool restored() const { return dialog->isVisible() && !dialog->isMinimized() && !trayIcon.isPresent(); }

    void rightClickChoosing(std::optional<int> command) {
        trayIcon.scriptMenuChoice(command);
        trayIcon.fireMouse(kWmRButtonDown);
    }
};

TEST_F(NotificationIcon, minimizingWithTheOption_hidesTheWindowBehindOneIcon) {
    int minimized = 0;
    for (const Minimize& minimize : kMinimizeRoutes) {
        SCOPED_TRACE(minimize.by);
        minimize.apply(*dialog);
        ++minimized;
        EXPECT_TRUE(inTray());
        // Another minimize while hidden adds nothing: the window is in the tray already.
        dialog->OnSysCommand(SC_MINIMIZE);
        EXPECT_TRUE(inTray());
        EXPECT_EQ(trayIcon.acceptedAddCount(), minimized);
        EXPECT_EQ(trayIcon.addCalls().size(), static_cast<std::size_t>(minimized));
        EXPECT_TRUE(trayIcon.addCalls().back().hadIcon);
        dialog->OnTrayShowWindow();
        ASSERT_TRUE(restored());
    }
}

TEST_F(NotificationIcon, minimizingWithTheOptionOff_isPlainAndAddsNoIcon) {
    for (const char* tray : {"Tray=0\r\n", "Tray=2\r\n"}) {  // only exactly 1 is on
        start(tray);
        for (const Minimize& minimize : kMinimizeRoutes) {
            SCOPED_TRACE(std::string(tray) + minimize.by);
            minimize.apply(*dialog);
            EXPECT_TRUE(minimizedAsUsual());
            dialog->showNormal();
        }
    }
    EXPECT_TRUE(trayIcon.addCalls().empty());
    EXPECT_FALSE(trayIcon.isPresent());
}

// The option is offered only where a notification area exists, checked at the start and again as its menu
// opens (a panel may come up later); its mark stays what the setting holds.
TEST_F(NotificationIcon, trayOptionIsGrayedWithoutANotificationArea) {
    struct Case {
        bool on;  // the stored option
        bool atStart, atMenu;
    };
    const Case cases[] = {{true, false, false}, {true, false, true}, {false, true, false}, {false, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.on ? "on, " : "off, ") + (c.atStart ? "an area" : "none") + " at the start");
        trayIcon.setAvailable(c.atStart);
        start(c.on ? "Tray=1\r\n" : "Tray=0\r\n");
        QAction* option = dialog->GetMenuItem(kCmdToggleTray);
        EXPECT_EQ(option->isEnabled(), c.atStart);
        EXPECT_EQ(option->isChecked(), c.on);
        trayIcon.setAvailable(c.atMenu);
        auto* tools = qobject_cast<QMenu*>(option->parent());
        ASSERT_NE(tools, nullptr);
        EXPECT_EQ(tools->title(), "ツール(&T)");
        tools->popup(dialog->mapToGlobal(QPoint(0, 0)));
        EXPECT_EQ(option->isEnabled(), c.atMenu);
        EXPECT_EQ(option->isChecked(), c.on);
        tools->close();
    }
}

TEST_F(NotificationIcon, whereTheAreaRefusesTheIcon_theWindowMinimizesAsUsual) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::red);
    struct Case {
        const char* area;
        std::function<void()> prepare;
    };
    const Case cases[] = {
        {"no notification area", [this] { trayIcon.setAvailable(false); }},
        {"an icon already shown",
         [this, &pixmap] {
             trayIcon.setAvailable(true);
             trayIcon.Add(QIcon(pixmap), "other");
         }},
    };
    for (const Case& c : cases) {
        c.prepare();
        for (const Minimize& minimize : kMinimizeRoutes) {
            SCOPED_TRACE(std::string(c.area) + ", " + minimize.by);
            minimize.apply(*dialog);
            EXPECT_TRUE(minimizedAsUsual());
            EXPECT_NE(trayIcon.tip(), "RavArchive");
            dialog->showNormal();
        }
    }
    EXPECT_EQ(trayIcon.acceptedAddCount(), 1);  // the test's own
}

TEST_F(NotificationIcon, doubleClickAndShowWindow_restoreTheWindowAndRemoveTheIcon) {
    const std::function<void()> ways[] = {
        [this] { trayIcon.fireMouse(kWmLButtonDblClk); },
        [this] { rightClickChoosing(kCmdTrayShow); },
        [this] { dialog->OnCommand(kCmdTrayShow); },
    };
    for (const auto& restore : ways) {
        intoTray();
        restore();
        EXPECT_TRUE(restored());
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }
    EXPECT_EQ(trayIcon.menuCalls().size(), 1u);
    EXPECT_TRUE(modalRuns.empty());
}

TEST_F(NotificationIcon, otherMouseMessages_doNothing) {
    intoTray();
    for (unsigned message :
         {kWmLButtonDown, kWmLButtonUp, kWmRButtonUp, kWmMouseMove, kWmRButtonDblClk, kWmMButtonDown, 0x8064u}) {
        trayIcon.fireMouse(message);
        EXPECT_TRUE(inTray()) << message;
    }
    EXPECT_EQ(trayIcon.removeCount(), 0);
    EXPECT_TRUE(trayIcon.menuCalls().empty());
    EXPECT_TRUE(modalRuns.empty());
}

TEST_F(NotificationIcon, rightClick_showsMenu133AtTheCursorAndDismissingItDoesNothing) {
    intoTray();
    rightClickChoosing(std::nullopt);

    ASSERT_EQ(trayIcon.menuCalls().size(), 1u);
    const FakeTrayIcon::MenuCall& menu = trayIcon.menuCalls()[0];
    EXPECT_EQ(menu.pos, QPoint(310, 205));
    ASSERT_EQ(menu.items.size(), 4u);
    const struct {
        const char* text;
        std::optional<int> id;
    } expected[] = {
        {"ウィンドウ表示", 32784}, {"バージョン情報", 32782}, {"", std::nullopt}, {"アプリケーション終了", 32783}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(menu.items[i].text, QString::fromUtf8(expected[i].text)) << i;
        EXPECT_EQ(menu.items[i].commandId, expected[i].id) << i;
        EXPECT_EQ(menu.items[i].separator, i == 2) << i;
        EXPECT_TRUE(menu.items[i].enabled) << i;
    }
    EXPECT_TRUE(inTray());
    EXPECT_TRUE(modalRuns.empty());
}

TEST_F(NotificationIcon, versionInformation_opensTheVersionDialogOnceAndTheWindowStaysInTheTray) {
    intoTray();
    rightClickChoosing(kCmdTrayAbout);
    EXPECT_EQ(modalRuns, std::vector<std::string>{"Ravolin のバージョン情報"});
    EXPECT_TRUE(inTray());
    EXPECT_EQ(trayIcon.removeCount(), 0);
}

TEST_F(NotificationIcon, exitAnsweredCancel_changesNothing) {
    intoTray();
    messageBox.scriptAnswer(IDCANCEL);
    rightClickChoosing(kCmdTrayExit);

    ASSERT_EQ(messageBox.calls().size(), 1u);
    const MessageBoxCall& question = messageBox.calls()[0];
    EXPECT_EQ(question.text, "アプリケーションを終了しますか？");
    EXPECT_EQ(question.caption, "確認");
    EXPECT_EQ(question.type, 0x21u);  // MB_OKCANCEL | MB_ICONQUESTION
    EXPECT_EQ(question.owner, nullptr);
    EXPECT_TRUE(inTray());
    EXPECT_FALSE(ended());
}

TEST_F(NotificationIcon, exitAnsweredOk_endsTheProgramAndLeavesNoIcon) {
    intoTray();
    messageBox.scriptAnswer(IDOK);
    rightClickChoosing(kCmdTrayExit);
    EXPECT_EQ(messageBox.calls().size(), 1u);
    EXPECT_TRUE(ended());
    dialog.reset();
    EXPECT_FALSE(trayIcon.isPresent());
}

TEST_F(NotificationIcon, exitDuringARun_isRefusedWithTheBusyMessage_andTheRunGoesOn) {
    dialog->SetDlgItemText(kIdTemplate, "行");
    dialog->SetDlgItemText(kIdLoopCount, "1");
    startHeldRun();
    intoTray();
    messageBox.scriptAnswer(IDOK);
    rightClickChoosing(kCmdTrayExit);

    ASSERT_EQ(messageBox.calls().size(), 1u);  // no exit question: nothing to decide during a run
    expectBusyWarning(messageBox.calls()[0]);
    EXPECT_TRUE(inTray());
    EXPECT_FALSE(ended());

    beepGate.open();
    ASSERT_TRUE(eventually([this] { return !dialog->isRunning(); }));
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), "行");
    EXPECT_TRUE(inTray());
}

TEST_F(NotificationIcon, exitWithAutoSave_writesTheSettingsAndEnds) {
    start("Tray=1\r\nAutoSave=1\r\n");
    dialog->SetDlgItemText(kIdTemplate, "保存される\r\nテンプレート");
    intoTray();
    messageBox.scriptAnswer(IDOK);
    rightClickChoosing(kCmdTrayExit);

    EXPECT_EQ(messageBox.calls().size(), 1u);
    EXPECT_TRUE(ended());
    Document loaded;
    loadSettingsFile(dir.settingsPath(), loaded);
    const WindowSettings& saved = loaded.window;
    EXPECT_EQ(saved.templateText, "保存される\r\nテンプレート");
    EXPECT_EQ(saved.tray, 1);
    EXPECT_EQ(saved.autoSave, 1);
    dialog.reset();
    EXPECT_FALSE(trayIcon.isPresent());
}

TEST_F(NotificationIcon, exitAfterAnUnsavedRun_asksAboutTheSettings_NoKeepsTheProgramInTheTray) {
    const std::string fileBefore = dir.readSettingsBytes();
    runToEnd();
    intoTray();
    messageBox.scriptAnswer(IDOK);
    messageBox.scriptAnswer(IDNO);
    rightClickChoosing(kCmdTrayExit);
    EXPECT_FALSE(ended());
    EXPECT_TRUE(inTray());

    messageBox.scriptAnswer(IDOK);
    messageBox.scriptAnswer(IDYES);
    rightClickChoosing(kCmdTrayExit);
    EXPECT_TRUE(ended());

    ASSERT_EQ(messageBox.calls().size(), 4u);
    for (std::size_t i : {1u, 3u}) {
        const MessageBoxCall& question = messageBox.calls()[i];
        EXPECT_EQ(question.text, "現在の設定は保存されていません。\r\n終了しますか？");
        EXPECT_EQ(question.caption, "確認");
        EXPECT_EQ(question.type, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
        EXPECT_EQ(question.owner, dialog.get());  // the hidden window owns it
        EXPECT_FALSE(question.ownerVisible);
    }
    EXPECT_EQ(dir.readSettingsBytes(), fileBefore);
    dialog.reset();
    EXPECT_FALSE(trayIcon.isPresent());
}

TEST_F(NotificationIcon, destroyedDialog_leavesNoIconAndHearsTheIconNoMore) {
    intoTray();
    dialog.reset();
    EXPECT_FALSE(trayIcon.isPresent());
    trayIcon.fireMouse(kWmLButtonDblClk);
    trayIcon.fireMouse(kWmRButtonDown);
    EXPECT_TRUE(trayIcon.menuCalls().empty());
}

TEST_F(NotificationIcon, trayAndVersionDialog_keepTheWindowsState) {
    QTabBar* bar = dialog->tabControl()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(5).center());
    dialog->SetDlgItemText(kIdTemplate, "テンプレート\r\n2行目");
    dialog->SetDlgItemText(kIdOutput, "出力");
    dialog->arrayPages()[4].SetDlgItemText(kIdArrayToken, "＜五＞");
    QWidget* loopCount = dialog->GetDlgItem(kIdLoopCount);
    loopCount->setFocus();
    ASSERT_TRUE(loopCount->hasFocus());

    intoTray();
    rightClickChoosing(kCmdTrayAbout);
    trayIcon.fireMouse(kWmLButtonDblClk);
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));

    EXPECT_EQ(dialog->currentTab(), 5);
    EXPECT_EQ(dialog->tabControl()->GetCurSel(), 5);
    EXPECT_TRUE(dialog->arrayPages()[4].isVisible());
    EXPECT_FALSE(dialog->numericPage().isVisible());
    EXPECT_EQ(dialog->GetDlgItemText(kIdTemplate), "テンプレート\r\n2行目");
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), "出力");
    EXPECT_EQ(dialog->arrayPages()[4].GetDlgItemText(kIdArrayToken), "＜五＞");
    EXPECT_EQ(dialog->focusWidget(), loopCount);  // where the focus returns when the window is active
}

// The modal run of the program's only window: the steps run inside it, each posted as the last one ends,
// and the last of them always ends the run. `scope` takes along whatever step has not run.
class NotificationIconModalRun : public NotificationIcon {
protected:
    void post(std::function<void()> step) { QTimer::singleShot(0, &scope, std::move(step)); }

    QObject scope;
    std::vector<std::string> steps;
};

TEST_F(NotificationIconModalRun, goesOnWhileTheWindowIsInTheTray) {
    dialog->hide();
    post([this] {
        dialog->OnSysCommand(SC_MINIMIZE);
        steps.push_back(inTray() ? "in the tray" : "not in the tray");
        post([this] {
            steps.push_back("still running");
            trayIcon.fireMouse(kWmLButtonDblClk);
            dialog->done(IDOK);
        });
    });
    EXPECT_EQ(dialog->DoModal(), IDOK);
    EXPECT_EQ(steps, (std::vector<std::string>{"in the tray", "still running"}));
}

TEST_F(NotificationIconModalRun, endsWithTheExitFromTheIconMenu) {
    dialog->hide();
    post([this] {
        intoTray();
        messageBox.scriptAnswer(IDOK);
        rightClickChoosing(kCmdTrayExit);
        post([this] {
            steps.push_back("still running");
            dialog->OnTrayShowWindow();
            dialog->done(IDCANCEL);
        });
    });
    EXPECT_EQ(dialog->DoModal(), IDOK);
    EXPECT_TRUE(steps.empty());
}

}  // namespace
}  // namespace ravolin
