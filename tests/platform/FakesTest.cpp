#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <vector>

#include <QAction>
#include <QFont>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSignalSpy>
#include <QWidget>

#include "testsupport/FakeFontChooser.h"
#include "testsupport/FakeTone.h"
#include "testsupport/FakeTrayIcon.h"

namespace ravolin {
namespace {

TEST(FakeTone, recordsEachToneWithTheThreadThatAskedForIt) {
    FakeTone tone;
    tone.Beep(1000, 50);
    std::thread::id workerId;
    std::thread worker([&tone, &workerId] {
        workerId = std::this_thread::get_id();
        tone.Beep(440, 20);
    });
    worker.join();
    const std::vector<FakeTone::Call> calls = tone.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].frequencyHz, 1000);
    EXPECT_EQ(calls[0].durationMs, 50);
    EXPECT_EQ(calls[0].thread, std::this_thread::get_id());
    EXPECT_EQ(calls[1].frequencyHz, 440);
    EXPECT_EQ(calls[1].durationMs, 20);
    EXPECT_EQ(calls[1].thread, workerId);
    EXPECT_NE(workerId, std::this_thread::get_id());
}

TEST(FakeTone, runsTheHookOnTheBeepingThreadOnceTheCallIsRecorded) {
    FakeTone tone;
    std::size_t countInHook = 0;
    std::thread::id hookThread;
    tone.setOnBeep([&] {
        countInHook = tone.callCount();
        hookThread = std::this_thread::get_id();
    });
    std::thread worker([&tone] { tone.Beep(1000, 50); });
    const std::thread::id workerId = worker.get_id();
    worker.join();
    EXPECT_EQ(countInHook, 1u);
    EXPECT_EQ(hookThread, workerId);
}

TEST(FakeFontChooser, answersAsScriptedThenCancels) {
    FakeFontChooser chooser;
    QWidget owner;
    const QFont bold("IPAPGothic", 14, QFont::Bold);
    chooser.scriptChoice(bold);
    chooser.scriptCancel();
    const QFont initial("IPAMincho", 9);
    EXPECT_EQ(chooser.ChooseFont(&owner, initial), bold);
    EXPECT_EQ(chooser.ChooseFont(&owner, bold), std::nullopt);
    EXPECT_EQ(chooser.ChooseFont(nullptr, bold), std::nullopt);  // the script has run out
    ASSERT_EQ(chooser.calls().size(), 3u);
    EXPECT_EQ(chooser.calls()[0].owner, &owner);
    EXPECT_EQ(chooser.calls()[0].initial, initial);
    EXPECT_EQ(chooser.calls()[1].initial, bold);
    EXPECT_EQ(chooser.calls()[2].owner, nullptr);
}

TEST(FakeFontChooser, runsTheHookWhileOpenAfterRecordingTheCall) {
    FakeFontChooser chooser;
    std::size_t callsSeen = 0;
    chooser.setWhileOpen([&] { callsSeen = chooser.calls().size(); });
    chooser.ChooseFont(nullptr, QFont());
    EXPECT_EQ(callsSeen, 1u);
}

QIcon someIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkBlue);
    return QIcon(pixmap);
}

TEST(FakeTrayIcon, keepsAtMostOneIconAndOnlyWhereAvailable) {
    FakeTrayIcon tray;
    tray.setAvailable(false);
    EXPECT_FALSE(tray.Add(someIcon(), "RavArchive"));
    EXPECT_FALSE(tray.isPresent());
    tray.setAvailable(true);
    EXPECT_FALSE(tray.Add(QIcon(), "RavArchive"));
    EXPECT_FALSE(tray.isPresent());
    EXPECT_TRUE(tray.Add(someIcon(), "RavArchive"));
    EXPECT_FALSE(tray.Add(someIcon(), "other"));
    EXPECT_TRUE(tray.isPresent());
    EXPECT_EQ(tray.tip(), "RavArchive");
    EXPECT_EQ(tray.acceptedAddCount(), 1);
    ASSERT_EQ(tray.addCalls().size(), 4u);
    EXPECT_FALSE(tray.addCalls()[1].hadIcon);
    EXPECT_EQ(tray.addCalls()[3].tip, "other");
    EXPECT_FALSE(tray.addCalls()[3].accepted);

    tray.Remove();
    tray.Remove();  // harmless without an icon
    EXPECT_FALSE(tray.isPresent());
    EXPECT_EQ(tray.removeCount(), 2);
    EXPECT_TRUE(tray.Add(someIcon(), "RavArchive"));
}

TEST(FakeTrayIcon, passesFiredMouseMessagesToTheHandler) {
    FakeTrayIcon tray;
    tray.fireMouse(kWmLButtonDblClk);  // no handler yet: nothing to call
    std::vector<unsigned> seen;
    tray.SetMouseHandler([&seen](unsigned message) { seen.push_back(message); });
    tray.fireMouse(kWmRButtonDown);
    tray.fireMouse(kWmLButtonDblClk);
    EXPECT_EQ(seen, (std::vector<unsigned>{kWmRButtonDown, kWmLButtonDblClk}));
}

// The icon menu as the program builds it: command ids in the actions' data.
class FakeTrayIconMenu : public ::testing::Test {
protected:
    FakeTrayIconMenu() {
        m_show = addCommand("ウィンドウ表示", 32784);
        m_about = addCommand("バージョン情報", 32782);
        m_menu.addSeparator();
        m_exit = addCommand("アプリケーション終了", 32783);
    }
    QAction* addCommand(const char* text, int id) {
        QAction* action = m_menu.addAction(QString::fromUtf8(text));
        action->setData(id);
        return action;
    }

    QMenu m_menu;
    QAction* m_show;
    QAction* m_about;
    QAction* m_exit;
    FakeTrayIcon m_tray;
};

TEST_F(FakeTrayIconMenu, choosesTheScriptedCommandAndTriggersIt) {
    QSignalSpy exitTriggered(m_exit, &QAction::triggered);
    QSignalSpy menuTriggered(&m_menu, &QMenu::triggered);
    m_tray.scriptMenuChoice(32783);
    EXPECT_EQ(m_tray.ExecMenu(&m_menu, QPoint(40, 30)), m_exit);
    EXPECT_EQ(exitTriggered.count(), 1);
    EXPECT_EQ(menuTriggered.count(), 1);
}

TEST_F(FakeTrayIconMenu, recordsTheMenuAsShownAndWhere) {
    m_tray.ExecMenu(&m_menu, QPoint(40, 30));
    ASSERT_EQ(m_tray.menuCalls().size(), 1u);
    const FakeTrayIcon::MenuCall& call = m_tray.menuCalls()[0];
    EXPECT_EQ(call.pos, QPoint(40, 30));
    ASSERT_EQ(call.items.size(), 4u);
    EXPECT_EQ(call.items[0].text, QString::fromUtf8("ウィンドウ表示"));
    EXPECT_EQ(call.items[0].commandId, 32784);
    EXPECT_EQ(call.items[1].commandId, 32782);
    EXPECT_TRUE(call.items[2].separator);
    EXPECT_EQ(call.items[2].commandId, std::nullopt);
    EXPECT_EQ(call.items[3].text, QString::fromUtf8("アプリケーション終了"));
    EXPECT_EQ(call.items[3].commandId, 32783);
}

TEST_F(FakeTrayIconMenu, dismissesWhenNothingEnabledMatches) {
    QSignalSpy menuTriggered(&m_menu, &QMenu::triggered);
    m_about->setEnabled(false);
    m_tray.scriptMenuChoice(std::nullopt);  // clicked elsewhere
    m_tray.scriptMenuChoice(32782);         // disabled
    m_tray.scriptMenuChoice(4242);          // not in the menu
    for (int call = 0; call < 4; ++call) {  // the last one finds the script run out
        EXPECT_EQ(m_tray.ExecMenu(&m_menu, QPoint()), nullptr) << call;
    }
    EXPECT_EQ(menuTriggered.count(), 0);
    EXPECT_FALSE(m_tray.menuCalls()[1].items[1].enabled);
}

}  // namespace
}  // namespace ravolin
