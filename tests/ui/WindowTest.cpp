#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabBar>
#include <QToolButton>

#include "conversion/Escaping.h"
#include "tests/ui/DialogFixture.h"
#include "ui/FormatDialog.h"
#include "ui/StyleSummary.h"
#include "ui/controls/TabControl.h"

namespace ravolin {
namespace {

class Window : public DialogFixture {
protected:
    void SetUp() override {
        writeSettingsWithFont("Loop=2\r\n", "[Edit]\r\nOrigin=line\r\n");
        createAndShow();
    }

    // Every control of the window and of the shown page, with its place in the client area.
    std::vector<std::pair<QWidget*, QRect>> placedControls() const {
        std::vector<std::pair<QWidget*, QRect>> placed;
        QWidget* client = dialog->GetDlgItem(kIdExit)->parentWidget();
        for (QWidget* parent : {client, static_cast<QWidget*>(&dialog->numericPage())}) {
            for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (child->isVisible())
                    placed.emplace_back(child, QRect(child->mapTo(client, QPoint()), child->size()));
            }
        }
        return placed;
    }
};

TEST_F(Window, growsWithEditorAndPaneTakingTheRoom_andComesBackToItsLayout) {
    QWidget* client = dialog->GetDlgItem(kIdExit)->parentWidget();
    const auto before = placedControls();
    const QSize least = dialog->size();
    dialog->resize(1600, 1200);
    ASSERT_TRUE(eventually([&] { return client->width() > 1500; }));
    for (const auto& [control, rect] : placedControls()) {
        SCOPED_TRACE(control->metaObject()->className() + (" " + control->accessibleName().toStdString()));
        EXPECT_TRUE(client->rect().contains(rect));
    }
    const QWidget* editor = dialog->GetDlgItem(kIdTemplate);
    const QWidget* output = dialog->GetDlgItem(kIdOutput);
    // The line under the menu bar spans the window still.
    const QFrame* separator = nullptr;
    for (const QFrame* frame : client->findChildren<QFrame*>(Qt::FindDirectChildrenOnly)) {
        if (frame->height() <= 2) separator = frame;
    }
    ASSERT_NE(separator, nullptr);
    EXPECT_GE(separator->width(), client->width() - 4);
    for (const auto& [control, rect] : before) {
        if (control == editor || control == output || control == separator) continue;
        EXPECT_EQ(control->size(), rect.size()) << control->metaObject()->className();
    }
    EXPECT_GT(editor->width(), 1500);
    EXPECT_GT(editor->height(), 368 + 400);
    EXPECT_GT(output->width(), 240 + 500);
    // The buttons at the bottom right stay there; the output pane still ends where the editor does.
    EXPECT_EQ(client->width() - dialog->GetDlgItem(kIdExit)->geometry().right(), 956 - 941);
    EXPECT_EQ(output->geometry().right(), editor->geometry().right());
    EXPECT_EQ(client->height() - dialog->GetDlgItem(kIdExecute)->geometry().bottom(), 691 - 640);

    dialog->resize(least);
    ASSERT_TRUE(eventually([&] { return client->width() == 956; }));
    for (const auto& [control, rect] : before) {
        EXPECT_EQ(QRect(control->mapTo(client, QPoint()), control->size()), rect) << control->metaObject()->className();
    }
}

TEST_F(Window, allTenTabsShowWithoutScrollArrows) {
    const QTabBar* bar = dialog->tabControl()->tabBar();
    for (int i = 0; i < bar->count(); ++i) EXPECT_TRUE(bar->rect().contains(bar->tabRect(i))) << i;
    for (const QToolButton* arrow : bar->findChildren<QToolButton*>()) EXPECT_FALSE(arrow->isVisible());
}

TEST_F(Window, aClickIntoTheOutputPaneSelectsAll_aSecondPlacesTheCaret) {
    runToEnd();
    auto* output = control<OutputView>(kIdOutput);
    ASSERT_EQ(dialog->GetDlgItemText(kIdOutput), "line\r\nline");
    dialog->GetDlgItem(kIdTemplate)->setFocus();
    QTest::mouseClick(output->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(QApplication::focusWidget(), output);
    EXPECT_EQ(output->selectedText(), QStringLiteral("line\nline"));
    QTest::mouseClick(output->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(output->hasSelection());
    // Ctrl+A still selects everything in the focused pane.
    QTest::keyClick(output, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(output->selectedText(), QStringLiteral("line\nline"));
}

TEST_F(Window, pagesShowTheStylesThatAreNotTheDefaults) {
    const struct {
        CounterStyle style;
        const char* summary;
    } counters[] = {
        {{}, ""},
        {{.format = kFormatHexLower, .width = 4}, "4桁・ゼロ・16進"},
        {{.format = kFormatHexUpper, .width = 3, .fill = 1}, "3桁・空白・16進大"},
        {{.format = kFormatLettersLower, .width = 2}, "2桁・英字"},
        {{.repeat = 5, .period = 3}, "5回ずつ・周期3"},
        {{.repeat = 0, .period = -1, .format = 99, .width = 0}, ""},  // out of range: read as the defaults
    };
    for (const auto& c : counters) EXPECT_EQ(styleSummary(c.style), c.summary);
    const struct {
        ArrayStyle style;
        const char* summary;
    } arrays[] = {
        {{}, ""},
        {{.repeat = 5}, "5回ずつ"},
        {{.end = kEndCycle}, "先頭に戻る"},
        {{.repeat = 2, .end = kEndKeepLast}, "2回ずつ・最後の行を繰り返す"},
        {{.escape = kEscapeSqlLiteral}, "SQL リテラル"},
        {{.order = kOrderShuffled, .seed = "7", .escape = kEscapeHtml}, "シャッフル・シード7・HTML エスケープ"},
        {{.repeat = 3, .escape = kEscapeUrl}, "3回ずつ・URL エンコード"},
        {{.escape = kEscapeCount}, ""},  // one the program doesn't know
    };
    for (const auto& c : arrays) EXPECT_EQ(styleSummary(c.style), c.summary);

    // The button of a slot opens the dialog at that slot; OK shows the new summary, the restore the stored one.
    onModal = [](QDialog& modal) {
        auto& format = dynamic_cast<FormatDialog&>(modal);
        EXPECT_EQ(modal.focusWidget(), static_cast<QWidget*>(format.m_counterRows[2].width));
        format.m_counterRows[2].width->setValue(4);
        format.m_arrayRows[1].end->setCurrentIndex(kEndCycle);
        return QDialog::Accepted;
    };
    QTest::mouseClick(dialog->numericPage().styleButton(2), Qt::LeftButton);
    ASSERT_EQ(modalRuns, std::vector<std::string>{"書式と繰り返し"});
    EXPECT_EQ(dialog->styleSummaryShown(0, 2), "4桁・ゼロ");
    EXPECT_EQ(dialog->styleSummaryShown(2), "先頭に戻る");
    EXPECT_EQ(dialog->styleSummaryShown(0, 0), "");
    onModal = [](QDialog& modal) {
        EXPECT_EQ(modal.focusWidget(), static_cast<QWidget*>(dynamic_cast<FormatDialog&>(modal).m_arrayRows[8].repeat));
        return QDialog::Rejected;
    };
    dialog->tabControl()->tabBar()->setCurrentIndex(9);
    QTest::mouseClick(dialog->arrayPages()[8].styleButton(0), Qt::LeftButton);
    messageBox.scriptAnswer(IDYES);
    dialog->OnCommand(kCmdRestoreStrings);
    EXPECT_EQ(dialog->styleSummaryShown(0, 2), "");
    EXPECT_EQ(dialog->styleSummaryShown(2), "");
}

TEST_F(Window, titleMarksUnsavedSettingsAndTellsOfASave) {
    EXPECT_EQ(dialog->windowTitle(), "Ravolin");
    runToEnd();
    EXPECT_EQ(dialog->windowTitle(), "Ravolin *");
    dialog->OnCommand(kIdSaveSettings);
    EXPECT_EQ(dialog->windowTitle(), "Ravolin - 設定を保存しました");
    EXPECT_TRUE(eventually([this] { return dialog->windowTitle() == "Ravolin"; }, 10000));
}

TEST_F(Window, sizeAndMaximizedStateComeBackAtTheNextStart_outsideTheSettingsFile) {
    const std::string settingsBefore = dir.readSettingsBytes();
    windowStateFile = dir.directory() + "/state/window.ini";
    for (const bool maximized : {false, true}) {
        SCOPED_TRACE(maximized);
        dialog.reset();
        createAndShow();
        dialog->showNormal();
        dialog->resize(1200, 900);
        if (maximized) dialog->showMaximized();
        ASSERT_TRUE(eventually([&] { return dialog->isMaximized() == maximized && dialog->width() >= 1200; }));
        dialog->OnCommand(kIdExit);
        ASSERT_TRUE(ended());
        dialog.reset();
        createAndShow();
        EXPECT_EQ(dialog->isMaximized(), maximized);
        if (!maximized) {
            EXPECT_EQ(dialog->size(), QSize(1200, 900));
        }
    }
    EXPECT_EQ(dir.readSettingsBytes(), settingsBefore);
}

}  // namespace
}  // namespace ravolin
