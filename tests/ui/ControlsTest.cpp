#include <gtest/gtest.h>

#include <iostream>
#include <set>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "resources/DialogTemplate.h"
#include "ui/AboutDialog.h"
#include "ui/controls/ControlHost.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/EditControls.h"
#include "ui/controls/FontMapping.h"
#include "ui/controls/TabControl.h"
#include "ui/controls/TemplateBuilder.h"

namespace ravolin {
namespace {

QFont templateFont(const DialogTemplate& dialog) {
    installJapaneseFonts(std::cerr);
    return fontFromLogFont(templateLogFont(dialog, 96));
}

TEST(DialogUnits, templateFontGivesEightByFourteen) {
    const DialogTemplate& main = *findDialogTemplate(kConverterDialogId);
    const LogFont font = templateLogFont(main, 96);
    EXPECT_EQ(font.lfHeight, -13);
    EXPECT_EQ(font.lfFaceName, "ＭＳ Ｐゴシック");
    const BaseUnits units = dialogBaseUnits(templateFont(main));
    EXPECT_EQ(units, (BaseUnits{8, 14}));
    EXPECT_EQ(MapDialogRect(main.rect, units), QRect(0, 0, 956, 691));
    // A face with a taller line, drawing where IPAPGothic is missing, doesn't stretch the dialogs.
    QFont taller(QStringLiteral("DejaVu Sans"));
    taller.setPixelSize(13);
    ASSERT_GT(QFontMetrics(taller).height(), 14);
    EXPECT_EQ(dialogBaseUnits(taller).y, 14);
}

TEST(DialogUnits, mulDivRoundsHalfAwayFromZero) {
    struct Case {
        int number, numerator, denominator, expected;
    };
    const Case cases[] = {{395, 14, 8, 691}, {210, 14, 8, 368}, {14, 14, 8, 25}, {-14, 14, 8, -25}, {14, -14, 8, -25},
                          {3, 1, 2, 2},      {5, 1, 4, 1},      {0, 7, 3, 0},    {1, 1, 0, -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
            << c.number << "*" << c.numerator << "/" << c.denominator;
    }
}

TEST(Templates, idsAreUniqueWithinEachWindowAndStaticsHaveNone) {
    for (int id : {kAboutDialogId, kConverterDialogId, kNumericPageId, kArrayPageId}) {
        const DialogTemplate* dialog = findDialogTemplate(id);
        ASSERT_NE(dialog, nullptr) << id;
        std::set<int> seen;
        for (const ControlTemplate& control : dialog->controls) {
            if (control.id == kNoId) {
                EXPECT_FALSE((control.style & WS_TABSTOP) != 0) << control.caption;
                continue;
            }
            EXPECT_TRUE(seen.insert(control.id).second) << "template " << id << " repeats " << control.id;
        }
    }
    EXPECT_EQ(findDialogTemplate(101), nullptr);
}

class Builder : public ::testing::Test {
protected:
    void build(int templateId) {
        const DialogTemplate& dialog = *findDialogTemplate(templateId);
        parent.setFont(templateFont(dialog));
        tabStops = buildControls(
            dialog, parent, dialogBaseUnits(parent.font()), host,
            {nullptr, [this](int id) { commands.push_back(id); }, [this](int id) { focused.push_back(id); }, {}});
    }

    QWidget parent;
    ControlHost host;
    std::vector<QWidget*> tabStops;
    std::vector<int> commands;
    std::vector<int> focused;
};

TEST_F(Builder, mainTemplate_makesEachKindOfControl) {
    build(kConverterDialogId);
    EXPECT_NE(qobject_cast<QPushButton*>(host.GetDlgItem(kIdExit)), nullptr);
    EXPECT_NE(qobject_cast<QPlainTextEdit*>(host.GetDlgItem(kIdTemplate)), nullptr);
    EXPECT_NE(qobject_cast<QPlainTextEdit*>(host.GetDlgItem(kIdOutput)), nullptr);
    EXPECT_NE(qobject_cast<QLineEdit*>(host.GetDlgItem(kIdLoopCount)), nullptr);
    EXPECT_NE(qobject_cast<QCheckBox*>(host.GetDlgItem(kIdAutoSave)), nullptr);
    EXPECT_NE(qobject_cast<TabControl*>(host.GetDlgItem(kIdTab)), nullptr);
    EXPECT_EQ(host.GetDlgItem(kNoId), nullptr);
    EXPECT_EQ(host.GetDlgItem(1003), nullptr);  // a page's id, not this window's

    const auto* group = parent.findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), QStringLiteral("共通設定"));
    EXPECT_TRUE(group->testAttribute(Qt::WA_TransparentForMouseEvents));  // the loop count inside stays clickable
    EXPECT_TRUE(group->geometry().contains(host.GetDlgItem(kIdLoopCount)->geometry()));
    QStringList labels;
    for (const QLabel* label : parent.findChildren<QLabel*>()) labels << label->text();
    EXPECT_EQ(labels, QStringList{"ループ回数"});

    // Tab order is template order; the tab control is no tab stop.
    const std::vector<QWidget*> expected{
        host.GetDlgItem(kIdExit),     host.GetDlgItem(kIdTemplate),       host.GetDlgItem(kIdLoopCount),
        host.GetDlgItem(kIdAutoSave), host.GetDlgItem(kIdRestoreStrings), host.GetDlgItem(kIdClearEditArea),
        host.GetDlgItem(kIdExecute),  host.GetDlgItem(kIdOutput),         host.GetDlgItem(kIdSaveSettings)};
    EXPECT_EQ(tabStops, expected);
    EXPECT_EQ(host.GetDlgItem(kIdTab)->focusPolicy(), Qt::NoFocus);
}

TEST_F(Builder, buttonsAndBoxesReportTheirIds) {
    build(kConverterDialogId);
    for (int id : {kIdExecute, kIdAutoSave, kIdExit}) QTest::mouseClick(host.GetDlgItem(id), Qt::LeftButton);
    EXPECT_EQ(commands, (std::vector<int>{kIdExecute, kIdAutoSave, kIdExit}));
    EXPECT_TRUE(host.IsDlgButtonChecked(kIdAutoSave));
}

TEST_F(Builder, numericPage_placesFiveRowsOfThreeEdits) {
    build(kNumericPageId);
    ASSERT_EQ(tabStops.size(), 15u);
    for (int r = 0; r < 5; ++r) {
        const int ids[] = {numericTokenId(r), numericInitialId(r), numericIncrementId(r)};
        const int xs[] = {14, 100, 160};  // 7, 50, 80 dialog units
        for (int column = 0; column < 3; ++column) {
            QWidget* edit = host.GetDlgItem(ids[column]);
            ASSERT_NE(qobject_cast<QLineEdit*>(edit), nullptr) << ids[column];
            EXPECT_EQ(tabStops[static_cast<std::size_t>(3 * r + column)], edit);
            EXPECT_EQ(edit->x(), xs[column]);
            EXPECT_EQ(edit->y(), MulDiv(23 + 14 * r, 14, 8));
        }
    }
    EXPECT_EQ(numericTokenId(1), 1006);
    EXPECT_EQ(numericIncrementId(4), 1017);
}

TEST(ControlText, crossesBetweenCrLfAndWidgetLineBreaks) {
    QPlainTextEdit multi;
    struct Case {
        std::string program;
        int lines;
        std::string readBack;
    };
    const Case cases[] = {
        {"a\r\nb", 2, "a\r\nb"},
        {"a\r\n", 2, "a\r\n"},
        {"\r\n\r\n", 3, "\r\n\r\n"},
        {"lone\rcr", 2, "lone\r\ncr"},
        {"line\u2028separator", 1, "line\r\nseparator"},  // Unicode's own line breaks, as pasted
        {"paragraph\u2029separator", 2, "paragraph\r\nseparator"},
        {"nbsp\u00A0kept", 1, "nbsp\u00A0kept"},  // plain-text export would turn it into a space
        {"", 1, ""},
    };
    for (const Case& c : cases) {
        SetWindowText(&multi, c.program);
        EXPECT_EQ(multi.blockCount(), c.lines) << c.program;
        EXPECT_EQ(GetWindowText(&multi), c.readBack) << c.program;
    }
    QLineEdit line;
    SetWindowText(&line, "トークン");
    EXPECT_EQ(line.text(), QStringLiteral("トークン"));
    EXPECT_EQ(GetWindowText(&line), "トークン");
}

TEST(OutputPane, copyPutsPlainTextOnlyOnTheClipboard) {
    MultiLineEdit pane(nullptr, false);
    pane.setReadOnly(true);
    SetWindowText(&pane, "first\r\nsecond");
    pane.selectAll();
    pane.copy();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->formats(), QStringList{"text/plain"});
    EXPECT_EQ(copied->text(), QStringLiteral("first\nsecond"));
}

TEST(AboutDialogTest, showsIconNameVersionAndEndsWithOk) {
    AboutDialog about(nullptr);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Ravolin のバージョン情報"));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    QStringList texts;
    bool hasIcon = false;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        if (!label->pixmap().isNull()) hasIcon = true;
        if (!label->text().isEmpty()) texts << label->text();
    }
    EXPECT_TRUE(hasIcon);
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_TRUE(texts[0].startsWith(QStringLiteral("Ravolin バージョン ")));
    auto* ok = qobject_cast<QPushButton*>(about.GetDlgItem(kIdAboutOk));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    about.show();
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

}  // namespace
}  // namespace ravolin
