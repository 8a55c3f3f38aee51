#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>

#include "tests/ui/DialogFixture.h"
#include "ui/DialogTexts.h"
#include "ui/TableImportDialog.h"

namespace ravolin {
namespace {

// A spreadsheet's copy: a header row, a name with a quote, a cell with a line break the spreadsheet quoted.
constexpr char kSheet[] = "名前\t市\r\nO'Brien\t\"Tokyo,\nJapan\"\r\n鈴木\t大阪\r\n";

class TableImport : public DialogFixture {
protected:
    void SetUp() override {
        writeSettingsWithFont("Loop=7\r\n", "[Arrangement]\r\nValue3=kept\r\n");
        createAndShow();
    }
    // Pastes `text` through the dialog, which OK ends with `header` chosen; what the dialog showed.
    void paste(const char* text, bool header, std::size_t firstArray = 0) {
        QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
        onModal = [this, header](QDialog& modal) {
            auto& table = dynamic_cast<TableImportDialog&>(modal);
            table.m_header->setChecked(header);
            summary = table.m_summary->text().toStdString();
            heading = table.m_table->horizontalHeaderItem(0)->text().toStdString();
            return int{QDialog::Accepted};
        };
        dialog->OnPasteTable(firstArray);
    }
    const ArraySlot& array(std::size_t i) { return shown.record.arrays[i] = dialog->documentShown().record.arrays[i]; }

    Document shown;
    std::string summary, heading;
};

TEST_F(TableImport, aPasteFillsTheArraysFromTheirColumns_withOrWithoutAHeader) {
    paste(kSheet, true);
    EXPECT_EQ(modalRuns.back(), "表の取り込み");
    EXPECT_EQ(heading, "列1 → 配列1");
    EXPECT_EQ(summary, "3 行 × 2 列。値の行: 2 行。改行を含むセル 1 個は、改行を空白にして 1 行にします。");
    EXPECT_EQ(array(0).token, "名前");
    EXPECT_EQ(array(0).valuesText, "O'Brien\r\n鈴木");
    EXPECT_EQ(array(1).token, "市");
    EXPECT_EQ(array(1).valuesText, "Tokyo, Japan\r\n大阪");
    EXPECT_EQ(dialog->documentShown().window.loopCount, 2);
    EXPECT_EQ(dialog->unsaved(), 1);

    // From 配列8's list: the second column goes to 配列9, a third would be left out; no header, the array's
    // token stays.
    paste("a,b,c\r\nd,e,f", false, 7);
    EXPECT_EQ(heading, "列1 → 配列8");
    EXPECT_EQ(summary, "2 行 × 3 列。値の行: 2 行。配列9 を超える 1 列は取り込みません。");
    EXPECT_EQ(array(7).valuesText, "a\r\nd");
    EXPECT_EQ(array(8).valuesText, "b\r\ne");
    EXPECT_EQ(array(8).token, "＜配列9＞");
}

TEST_F(TableImport, arraysThatHoldValuesAreReplacedOnlyAfterYes_andOneUndoBringsThemBack) {
    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        messageBox.scriptAnswer(answer);
        paste("x\ty\r\n", false, 2);
        ASSERT_FALSE(messageBox.calls().empty());
        EXPECT_EQ(messageBox.calls().back().text, "配列3 には値が入っています。表の値で置き換えますか？");
        EXPECT_EQ(array(2).valuesText, answer == IDYES ? "x" : "kept");
    }
    EXPECT_EQ(dialog->documentShown().window.loopCount, 1);
    // Ctrl+Z from the value list the paste filled, the editor's own undo notwithstanding.
    dialog->selectPage(3);
    QWidget* values = dialog->arrayPages()[2].GetDlgItem(kIdArrayValues);
    values->setFocus();
    QTest::keyClick(values, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(array(2).valuesText, "kept");
    EXPECT_EQ(array(3).valuesText, "");
    EXPECT_EQ(dialog->documentShown().window.loopCount, 7);
    EXPECT_FALSE(dialog->GetMenuItem(kCmdUndoTable)->isEnabled());

    // Once something changed after the import, Ctrl+Z is the editors' again.
    messageBox.scriptAnswer(IDYES);
    paste("x\r\n", false, 2);
    dialog->SetDlgItemText(kIdLoopCount, "9");
    QTest::keyClick(values, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(array(2).valuesText, "x");
    EXPECT_FALSE(dialog->GetMenuItem(kCmdUndoTable)->isEnabled());
}

TEST_F(TableImport, aClipboardWithoutATableSaysSo) {
    QGuiApplication::clipboard()->setText(QStringLiteral("\r\n\r\n"));
    messageBox.scriptAnswer(IDOK);
    dialog->OnPasteTable();
    EXPECT_TRUE(modalRuns.empty());
    EXPECT_EQ(messageBox.calls().back().text, kTableNothing);
}

}  // namespace
}  // namespace ravolin
