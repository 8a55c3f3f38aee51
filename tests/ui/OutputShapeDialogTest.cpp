#include "ui/OutputShapeDialog.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "tests/ui/DialogFixture.h"
#include "ui/DialogTexts.h"
#include "ui/FormatDialog.h"

namespace ravolin {
namespace {

const OutputShape kInsert{"INSERT INTO t VALUES\r\n", "\r\n", ";"};

// Rows of an INSERT: counter 1 "N" from 1, array 1 "A" with three lines.
ExpansionInput rows(std::int32_t loopCount) {
    ExpansionInput in;
    in.templateText = "(N, 'A')";
    in.loopCount = loopCount;
    in.counters[0] = {"N", 1, 1};
    in.arrays[0] = {"A", "a\r\nb\r\nc"};
    in.shape = kInsert;
    return in;
}

class OutputShapeDialogTest : public DialogFixture {};

// A preset sets the joiner alone; the preview shows the first and the last pass in the shape, "…" for the passes
// between them, and follows every keystroke.
TEST_F(OutputShapeDialogTest, presetsSetTheJoinerAlone_andThePreviewShowsTheFirstAndLastPasses) {
    struct Case {
        std::int32_t loops;
        std::size_t preset;
        QString preview;
    };
    const Case cases[] = {
        {3, 1, "INSERT INTO t VALUES\n(1, 'a'),\n…,\n(3, 'c');"}, {5, 0, "INSERT INTO t VALUES\n(1, 'a')\n…\n(5, '');"},
        {2, 2, "INSERT INTO t VALUES\n(1, 'a'),(2, 'b');"},       {1, 3, "INSERT INTO t VALUES\n(1, 'a');"},
        {3, 3, "INSERT INTO t VALUES\n(1, 'a')\t…\t(3, 'c');"},   {0, 4, "INSERT INTO t VALUES\n;"},
        {4, 4, "INSERT INTO t VALUES\n(1, 'a')…(4, '');"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.loops << " passes, preset " << c.preset);
        OutputShapeDialog shape(nullptr, rows(c.loops));
        ASSERT_EQ(shape.m_presets[c.preset]->text(), QString::fromUtf8(kJoinerPresets[c.preset].caption));
        shape.m_presets[c.preset]->click();
        EXPECT_EQ(shape.shape(), (OutputShape{kInsert.header, kJoinerPresets[c.preset].joiner, kInsert.footer}));
        EXPECT_EQ(shape.m_preview->toPlainText(), c.preview);
    }
    OutputShapeDialog shape(nullptr, rows(2));
    shape.m_header->setPlainText("[\n");
    shape.m_footer->setPlainText("]");
    EXPECT_EQ(shape.shape(), (OutputShape{"[\r\n", "\r\n", "]"}));
    EXPECT_EQ(shape.m_preview->toPlainText(), "[\n(1, 'a')\n(2, 'b')]");
    EXPECT_EQ(QStringList({"改行", "カンマ + 改行", "カンマ", "タブ", "なし"}),
              (QStringList{shape.m_presets[0]->text(), shape.m_presets[1]->text(), shape.m_presets[2]->text(),
                           shape.m_presets[3]->text(), shape.m_presets[4]->text()}));
    // A text the fields can't show as it is (a lone CR) comes back exactly while its field is left alone.
    ExpansionInput lone = rows(1);
    lone.shape.footer = "\r";
    EXPECT_EQ(OutputShapeDialog(nullptr, lone).shape(), lone.shape);
}

// OK takes the shape into the window and marks it unsaved where it changed; the run, the save and the size line
// of the format dialog then follow it.
TEST_F(OutputShapeDialogTest, okTakesTheShapeAndMarksItUnsaved_cancelOrNoChangeLeavesTheWindow) {
    writeSettingsWithFont("Loop=3\r\n",
                          "[Edit]\r\nOrigin=(N, 'A')\r\nOriginExact=(N, 'A')\r\n"
                          "[Numerical]\r\nText1=N\r\nInit1=1\r\n[Arrangement]\r\nText1=A\r\n"
                          "Value1=a,b,c\r\n");
    struct Case {
        int ending;
        bool change;
        OutputShape shown;  // in the window afterwards
        std::int32_t unsaved;
    };
    const Case cases[] = {
        {QDialog::Rejected, true, {}, 0},
        {QDialog::Accepted, false, {}, 0},
        {QDialog::Accepted, true, {"INSERT INTO t VALUES\r\n", ",\r\n", ";"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ending << " " << c.change);
        create();
        onModal = [&c](QDialog& modal) {
            auto& shape = dynamic_cast<OutputShapeDialog&>(modal);
            EXPECT_EQ(shape.m_preview->toPlainText(), "(1, 'a')\n…\n(3, 'c')");
            if (c.change) {
                shape.m_header->setPlainText("INSERT INTO t VALUES\n");
                shape.m_presets[1]->click();
                shape.m_footer->setPlainText(";");
            }
            return c.ending;
        };
        dialog->GetMenuItem(kCmdOutputShape)->trigger();
        ASSERT_EQ(modalRuns.back(), "出力の形");
        EXPECT_EQ(dialog->documentShown().window.shape, c.shown);
        EXPECT_EQ(dialog->unsaved(), c.unsaved);
    }
    // The pane shows what the shape makes, and the format dialog's size line counts its bytes and lines.
    onModal = nullptr;
    runToEnd();
    const std::string expected = "INSERT INTO t VALUES\r\n(1, 'a'),\r\n(2, 'b'),\r\n(3, 'c');";
    EXPECT_EQ(dialog->GetDlgItemText(kIdOutput), expected);
    FormatDialog format(nullptr, dialog->documentShown(), messageBox);
    QCoreApplication::processEvents();
    EXPECT_EQ(format.m_size->text(), QString("ループ回数 3 回: 全体 4 行、%1 バイト").arg(expected.size()));
    EXPECT_EQ(format.m_preview->toPlainText(), "INSERT INTO t VALUES\n(1, 'a'),\n(2, 'b'),\n(3, 'c');");
    // Saved with the rest, and read back at the next start.
    dialog->OnSaveSettings();
    EXPECT_EQ(dialog->unsaved(), 0);
    create();
    EXPECT_EQ(dialog->documentShown().window.shape, (OutputShape{"INSERT INTO t VALUES\r\n", ",\r\n", ";"}));
}

}  // namespace
}  // namespace ravolin
