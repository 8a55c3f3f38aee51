#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>

#include "conversion/RandomValues.h"
#include "conversion/TextHelpers.h"
#include "tests/ui/DialogFixture.h"
#include "ui/DialogTexts.h"
#include "ui/UiCallChannel.h"
#include "ui/controls/TabControl.h"

namespace ravolin {
namespace {

using namespace std::chrono_literals;

class Run : public DialogFixture {
protected:
    void createWith(const std::string& common) {
        writeSettingsWithFont(common);
        createAndShow();
    }

    void setTemplate(const std::string& text, const std::string& loopCount) {
        dialog->SetDlgItemText(kIdTemplate, text);
        dialog->SetDlgItemText(kIdLoopCount, loopCount);
    }

    bool enabled(int id) const { return dialog->GetDlgItem(id)->isEnabled(); }
    bool menuEnabled(int id) const { return dialog->GetMenuItem(id)->isEnabled(); }
};

constexpr int kLockedControls[] = {kIdRestoreStrings, kIdClearEditArea, kIdSaveSettings,
                                   kIdExit,           kIdExecute,       kIdAutoSave};
constexpr int kLockedMenuItems[] = {kCmdExecute, kCmdClearEditArea, kCmdRestoreStrings, kCmdSaveResult, kCmdExit};

TEST_F(Run, twoQuickStarts_makeOneRun) {
    createWith("Beep=1\r\n");
    setTemplate("x", "2");
    dialog->OnCommand(kIdExecute);
    dialog->GetMenuItem(kCmdExecute)->trigger();
    ASSERT_TRUE(eventually([this] { return !dialog->isRunning(); }));
    EXPECT_EQ(tone.callCount(), 1u);
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), "x\r\nx");
    EXPECT_EQ(dialog->unsaved(), 1);
    EXPECT_TRUE(eventually([] { return ConverterDialog::liveWorkerCount() == 0; }));
}

// A random counter without a seed draws one for the run and shows it in its row: the next run gives the same
// values, and the seed is a change a save keeps.
TEST_F(Run, aRunDrawsASeedWhereNoneIsSet_andShowsItForTheNextRunAndTheSave) {
    writeSettingsWithFont("Loop=5\r\n",
                          "[Edit]\r\nOrigin=<r>\r\n[Numerical]\r\nText1=<r>\r\nKind1=3\r\nMin1=-3\r\nMax1=1000000\r\n");
    createAndShow();
    ASSERT_FALSE(dialog->fieldsChangedSinceSave());
    runToEnd();
    const std::string first = dialog->GetDlgItemText(kIdOutput);
    const std::string seed = dialog->documentShown().record.counters[0].style.seed;
    EXPECT_NE(readSeed(seed), 0u) << seed;
    EXPECT_NE(dialog->styleSummaryShown(0, 0).toStdString().find("シード" + seed), std::string::npos);
    EXPECT_TRUE(dialog->fieldsChangedSinceSave());
    for (const std::string& line : SplitLines(first)) {
        const int value = std::stoi(line);
        EXPECT_TRUE(value >= -3 && value <= 1000000) << line;
    }
    runToEnd();
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), first);
    EXPECT_EQ(dialog->documentShown().record.counters[0].style.seed, seed);
}

TEST_F(Run, duringARun_theSixControlsAndFourItemsAreLocked_andReleasedExactly) {
    for (const bool autoSave : {false, true}) {
        SCOPED_TRACE(autoSave ? "auto-save on" : "auto-save off");
        beepGate.close();
        createWith(autoSave ? "AutoSave=1\r\n" : "");
        setTemplate("x", "1");
        startHeldRun();

        for (int id : kLockedControls) EXPECT_FALSE(enabled(id)) << id;
        for (int id : kLockedMenuItems) EXPECT_FALSE(menuEnabled(id)) << id;
        // What stays usable: the edits, the tabs and every page, the other menu items.
        for (int id : {kIdTemplate, kIdOutput, kIdLoopCount, kIdTab}) EXPECT_TRUE(enabled(id)) << id;
        for (int r = 0; r < 5; ++r) EXPECT_TRUE(dialog->numericPage().GetDlgItem(numericTokenId(r))->isEnabled());
        EXPECT_TRUE(dialog->arrayPages()[8].GetDlgItem(kIdArrayValues)->isEnabled());
        for (int id : {kCmdFontSettings, kCmdAbout, kCmdToggleBeep, kCmdToggleTray}) EXPECT_TRUE(menuEnabled(id)) << id;
        // Alt+X goes nowhere while its item is grayed; Alt+A still opens the version dialog.
        QTest::keyClick(dialog.get(), Qt::Key_X, Qt::AltModifier);
        QTest::keyClick(dialog.get(), Qt::Key_A, Qt::AltModifier);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(modalRuns.size(), 1u);
        modalRuns.clear();

        beepGate.open();
        ASSERT_TRUE(eventually([this] { return !dialog->isRunning(); }));
        for (int id : kLockedControls) EXPECT_EQ(enabled(id), id != kIdSaveSettings || !autoSave) << id;
        for (int id : kLockedMenuItems) EXPECT_TRUE(menuEnabled(id)) << id;
        dialog.reset();
        tone.setOnBeep({});
    }
}

// The focused execute button is disabled by the run: the focus must not fall to a page edit, which selects
// everything on focus and would lose its token to the next key; it comes back to the button afterwards, unless
// the user has put it elsewhere meanwhile.
TEST_F(Run, focusOnALockedButton_staysOffThePagesDuringTheRun_andReturnsAfterIt) {
    createWith("");
    show();
    setTemplate("x", "1");
    struct Case {
        const char* what;
        int movedTo;  // during the run; 0 for nowhere
        int endsOn;
    };
    const Case cases[] = {{"left alone", 0, kIdExecute}, {"moved to the template", kIdTemplate, kIdTemplate}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        beepGate.close();
        dialog->GetDlgItem(kIdExecute)->setFocus();
        ASSERT_EQ(dialog->focusWidget(), dialog->GetDlgItem(kIdExecute));
        startHeldRun();

        EXPECT_EQ(dialog->focusWidget(), dialog.get());
        QTest::keyClicks(dialog->focusWidget(), "typed");
        EXPECT_EQ(dialog->numericPage().GetDlgItemText(numericTokenId(0)), "＜置換1＞");
        if (c.movedTo) dialog->GetDlgItem(c.movedTo)->setFocus();

        beepGate.open();
        ASSERT_TRUE(eventually([this] { return !dialog->isRunning(); }));
        EXPECT_EQ(dialog->focusWidget(), dialog->GetDlgItem(c.endsOn));
    }
    tone.setOnBeep({});
}

TEST_F(Run, loopCountZero_locksClearsThePaneBeepsAndUnlocks) {
    createWith("Beep=1\r\n");
    setTemplate("never shown", "0");
    startHeldRun();
    EXPECT_FALSE(enabled(kIdExecute));
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), kOutputPlaceholder);  // the beep comes just before the output
    beepGate.open();
    ASSERT_TRUE(eventually([this] { return !dialog->isRunning(); }));
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), "");
    EXPECT_TRUE(enabled(kIdExecute));
    EXPECT_EQ(tone.callCount(), 1u);
}

TEST_F(Run, beepSetting_givesOneToneOfThousandHertzFiftyMsOnTheWorker_onlyWhenExactlyOne) {
    struct Case {
        const char* stored;
        std::size_t tones;
    };
    for (const Case& c : {Case{"Beep=1\r\n", 1}, Case{"Beep=0\r\n", 0}, Case{"Beep=2\r\n", 0}}) {
        SCOPED_TRACE(c.stored);
        createWith(c.stored);
        const std::size_t before = tone.callCount();
        runToEnd();
        const std::vector<FakeTone::Call> calls = tone.calls();
        ASSERT_EQ(calls.size() - before, c.tones);
        for (std::size_t i = before; i < calls.size(); ++i) {
            EXPECT_EQ(calls[i].frequencyHz, 1000);
            EXPECT_EQ(calls[i].durationMs, 50);
            EXPECT_NE(calls[i].thread, std::this_thread::get_id());
        }
        dialog.reset();
    }
}

TEST_F(Run, beepToggledWhileTheRunIsActive_decidesThatRunsBeep) {
    struct Case {
        const char* stored;
        std::size_t tones;
    };
    for (const Case& c : {Case{"Beep=1\r\n", 0}, Case{"Beep=0\r\n", 1}}) {
        SCOPED_TRACE(c.stored);
        createWith(c.stored);
        const std::size_t before = tone.callCount();
        // The worker can't get past its first step before the user-interface thread handles events again.
        dialog->OnCommand(kIdExecute);
        ASSERT_TRUE(dialog->isRunning());
        dialog->GetMenuItem(kCmdToggleBeep)->trigger();
        ASSERT_TRUE(eventually([this] { return !dialog->isRunning(); }));
        EXPECT_EQ(tone.callCount() - before, c.tones);
        dialog.reset();
    }
}

TEST_F(Run, beepToggledOffDuringTheTone_silencesOnlyLaterRuns) {
    createWith("");
    startHeldRun();
    dialog->GetMenuItem(kCmdToggleBeep)->trigger();
    EXPECT_FALSE(dialog->GetMenuItem(kCmdToggleBeep)->isChecked());
    beepGate.open();
    ASSERT_TRUE(eventually([this] { return !dialog->isRunning(); }));
    runToEnd();
    EXPECT_EQ(tone.callCount(), 1u);
}

TEST_F(Run, endingTheWindowDuringARun_isRefused_andTheRunFinishesAfterwards) {
    createWith("");
    setTemplate("＜置換1＞", "3");
    startHeldRun();
    const std::function<void()> requests[] = {
        [this] { dialog->done(IDOK); },
        [this] { dialog->accept(); },
        [this] { dialog->OnSysCommand(SC_CLOSE); },
        [this] { dialog->OnCommand(kIdCancel); },
    };
    for (const auto& request : requests) {
        messageBox.scriptAnswer(IDOK);
        request();
    }
    ASSERT_EQ(messageBox.calls().size(), std::size(requests));
    for (const MessageBoxCall& call : messageBox.calls()) {
        expectBusyWarning(call);
        EXPECT_EQ(call.owner, dialog.get());
    }
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), 0);

    beepGate.open();
    ASSERT_TRUE(eventually([this] { return !dialog->isRunning(); }));
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), "0\r\n1\r\n2");
    messageBox.scriptAnswer(IDYES);  // the unsaved question: a run was started
    dialog->OnCommand(kIdCancel);
    EXPECT_TRUE(ended());
}

TEST_F(Run, thePaneShowsTheExpansionOfWhatTheControlsShow_acrossManySlices) {
    createWith("");
    ExpansionInput input;
    input.templateText = "行 <n> は <a>、次は <n>\r\n  続き <b>";
    input.loopCount = 30000;
    input.counters[0] = {"<n>", -3, 7};
    input.counters[1] = {"", 5, 5};
    input.arrays[0] = {"<a>", "赤\r\n緑\r\n😀"};
    input.arrays[4] = {"<b>", "x\r\n\r\ny"};
    setTemplate(input.templateText, "30000");
    auto& page = dialog->numericPage();
    page.SetDlgItemText(numericTokenId(0), "<n>");
    page.SetDlgItemText(numericInitialId(0), "-3");
    page.SetDlgItemText(numericIncrementId(0), " 7");
    page.SetDlgItemText(numericTokenId(1), "");
    for (int r = 2; r < 5; ++r) page.SetDlgItemText(numericTokenId(r), "");
    for (std::size_t i = 0; i < 9; ++i) {
        dialog->arrayPages()[i].SetDlgItemText(kIdArrayToken, input.arrays[i].token);
        dialog->arrayPages()[i].SetDlgItemText(kIdArrayValues, input.arrays[i].valuesText);
    }
    const std::string expected = ExpandTemplate(input);
    ASSERT_GT(expected.size(), 4u * 256 * 1024) << "the output should take several slices";

    runToEnd();
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), expected);
}

TEST_F(Run, outputOverTheLimit_offersAFileAndLeavesThePaneAsItWas) {
    createWith("Beep=1\r\n");
    setTemplate("before", "1");
    runToEnd();
    ASSERT_EQ(dialog->GetDlgItemText(kIdOutput), "before");

    // The limit lowered to 32 MiB, so that a run goes past it quickly.
    ConverterDialogTestAccess::setOutputLimits(*dialog, std::size_t{32} << 20, kLargeCopyBytes);
    setTemplate(std::string(1000, 'x'), "40000");  // 40 MB
    messageBox.scriptAnswer(IDNO);
    runToEnd();
    ASSERT_EQ(messageBox.calls().size(), 1u);
    const MessageBoxCall& call = messageBox.calls()[0];
    EXPECT_EQ(
        call.text,
        "変換結果が上限の 32 MB を超えるため、出力欄には表示できません。\r\n出力欄の内容は変更していません。\r\n\r\n"
        "代わりに変換結果をファイルに保存しますか？");
    EXPECT_EQ(call.caption, "警告");
    EXPECT_EQ(call.type, MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_EQ(call.owner, dialog.get());
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), "before");
    EXPECT_EQ(tone.callCount(), 2u);  // the run ended, so it beeps
    for (int id : kLockedControls) EXPECT_TRUE(enabled(id)) << id;
    for (int id : kLockedMenuItems) EXPECT_TRUE(menuEnabled(id)) << id;
}

TEST_F(Run, gatherExpansionInput_readsEachFieldByItsRule) {
    createWith("");
    struct Case {
        std::string text;
        std::int32_t loopCount;  // read unsigned, then taken as signed
        std::int32_t counter;    // read signed
    };
    const Case cases[] = {
        {"abc", 0, 0},
        {" 12 ", 12, 12},
        {"-5", 0, -5},
        {"", 0, 0},
        {"+5", 0, 0},
        {"12abc", 0, 0},
        {"\t7\t", 7, 7},
        {"2147483647", 2147483647, 2147483647},
        {"2147483648", -2147483647 - 1, 0},
        {"4294967295", -1, 0},
        {"4294967296", 0, 0},
        {"-2147483648", 0, -2147483647 - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        dialog->SetDlgItemText(kIdLoopCount, c.text);
        dialog->numericPage().SetDlgItemText(numericInitialId(2), c.text);
        dialog->numericPage().SetDlgItemText(numericIncrementId(4), c.text);
        const ExpansionInput input = dialog->GatherExpansionInput();
        EXPECT_EQ(input.loopCount, c.loopCount);
        EXPECT_EQ(input.counters[2].initialValue, c.counter);
        EXPECT_EQ(input.counters[4].increment, c.counter);
        EXPECT_EQ(dialog->GetDlgItemText(kIdLoopCount), c.text);  // read, never written
    }
}

TEST_F(Run, gatherExpansionInput_takesTextsWithCrLfLineBreaks) {
    createWith("");
    dialog->SetDlgItemText(kIdTemplate, "a\r\nb");
    dialog->numericPage().SetDlgItemText(numericTokenId(3), "＃");
    dialog->arrayPages()[6].SetDlgItemText(kIdArrayToken, "色");
    dialog->arrayPages()[6].SetDlgItemText(kIdArrayValues, "red\r\n\r\nblue");
    const ExpansionInput input = dialog->GatherExpansionInput();
    EXPECT_EQ(input.templateText, "a\r\nb");
    EXPECT_EQ(input.counters[3].token, "＃");
    EXPECT_EQ(input.counters[0].token, "＜置換1＞");
    EXPECT_EQ(input.counters[0].increment, 1);
    EXPECT_EQ(input.arrays[6].token, "色");
    EXPECT_EQ(input.arrays[6].valuesText, "red\r\n\r\nblue");
}

// The styles live beside the pages: loaded with them, used by a run, stored by a save, restored from the record.
TEST_F(Run, stylesTravelFromTheFileThroughARunASaveAndARestore) {
    writeSettingsWithFont("Loop=4\r\n",
                          "[Edit]\r\nOrigin=<n>:<a>\r\n[Numerical]\r\nText1=<n>\r\nInit1=10\r\n"
                          "Repeat1=2\r\nFormat1=2\r\nWidth1=3\r\n[Arrangement]\r\nText1=<a>\r\n"
                          "Value1=x,y,z\r\nEnd1=1\r\nRepeat1=3\r\n");
    createAndShow();
    runToEnd();
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), "00A:x\r\n00A:x\r\n00B:x\r\n00B:y");

    changeDocument(*dialog, [](Document& d) {
        d.record.counters[0].style = {};
        d.record.arrays[0].style.end = kEndKeepLast;
    });
    dialog->OnSaveSettings();
    const std::string saved = dir.readSettingsBytes();
    EXPECT_NE(saved.find("\r\nRepeat1=1\r\nFormat1=0\r\nWidth1=0\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\r\nEnd1=2\r\nRepeat1=3\r\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("Period1"), std::string::npos);

    changeDocument(*dialog, [](Document& d) { d.record.arrays[0].style = {}; });
    messageBox.scriptAnswer(IDYES);
    dialog->OnCommand(kIdRestoreStrings);
    const Document restored = dialog->documentShown();
    EXPECT_EQ(restored.record.arrays[0].style, (ArrayStyle{3, kEndKeepLast}));
    EXPECT_EQ(restored.record.counters[0].style, CounterStyle{});
}

// A run outlives its dialog: destroying the dialog closes the run's channel and the worker ends quietly,
// touching nothing of the dialog (the sanitizer build would catch it).
TEST_F(Run, dialogDestroyedWhileTheRunSoundsItsBeep_workerEnds) {
    createWith("");
    setTemplate("x", "100");
    startHeldRun();
    dialog.reset();
    EXPECT_EQ(ConverterDialog::liveWorkerCount(), 1);
    beepGate.open();
    EXPECT_TRUE(eventually([] { return ConverterDialog::liveWorkerCount() == 0; }));
}

TEST_F(Run, dialogDestroyedWhileTheWorkerWaitsForTheWindow_workerEnds) {
    createWith("");
    setTemplate("x", "100");
    startHeldRun();
    const std::shared_ptr<UiCallChannel> channel = dialog->runChannel();
    beepGate.open();
    // Step 5 is handed over; this thread doesn't take it, so the worker waits for it.
    ASSERT_TRUE(channel->waitForPendingCall(10s));
    dialog.reset();
    EXPECT_FALSE(channel->isOpen());
    EXPECT_TRUE(eventually([] { return ConverterDialog::liveWorkerCount() == 0; }));
}

TEST_F(Run, dialogDestroyedRightAfterTheStart_workerEndsBeforeItsFirstStep) {
    createWith("Beep=1\r\n");
    dialog->OnCommand(kIdExecute);
    dialog.reset();
    EXPECT_TRUE(eventually([] { return ConverterDialog::liveWorkerCount() == 0; }));
    EXPECT_EQ(tone.callCount(), 0u);
}

}  // namespace
}  // namespace ravolin
