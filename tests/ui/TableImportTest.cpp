#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QUrl>

#include "settings/TableImport.h"
#include "tests/ui/DialogFixture.h"
#include "testsupport/core/TestFiles.h"
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
    // A file of the test's folder holding `bytes`; its path.
    std::string tableFile(const std::string& name, std::string_view bytes) const {
        const std::string path = dir.directory() + '/' + name;
        test::writeFile(path, bytes);
        return path;
    }
    // Drops local files (or other addresses) on `target`; whether the window took the drag, and the first cell of
    // the table "表の取り込み" then showed, if it came up (it is cancelled).
    std::pair<bool, std::string> drop(QWidget* target, const QStringList& addresses) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& address : addresses)
            urls << (address.contains(':')
                         ? QUrl(address)
                         : QUrl::fromLocalFile(QString::fromStdString(dir.directory()) + '/' + address));
        mime.setUrls(urls);
        std::string firstCell;
        onModal = [&firstCell](QDialog& modal) {
            firstCell = dynamic_cast<TableImportDialog&>(modal).rows().at(0).at(0);
            return int{QDialog::Rejected};
        };
        const QPoint at(target->width() / 2, target->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent dropped(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropped);
        QCoreApplication::processEvents();
        return {enter.isAccepted() && dropped.isAccepted(), firstCell};
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

TEST_F(TableImport, aChosenFileIsReadInItsEncodingIntoTheArraysFromTheFirst_andOneUndoTakesItBack) {
    struct Case {
        const char* name;
        std::string_view bytes;
        const char* tokens[2];
        const char* values[2];
        int rows;
    };
    const Case cases[] = {
        {"bom.csv",
         "\xEF\xBB\xBF名前,市\r\nO'Brien,\"Tokyo, Japan\"\r\n鈴木,大阪",
         {"名前", "市"},
         {"O'Brien\r\n鈴木", "Tokyo, Japan\r\n大阪"},
         2},
        // 名前,市 / 鈴木,大阪 as a Japanese spreadsheet saves them.
        {"cp932.csv",
         "\x96\xBC\x91O,\x8Es\r\n\x97\xE9\x96\xD8,\x91\xE5\x8D\xE3\r\n",
         {"名前", "市"},
         {"鈴木", "大阪"},
         1},
        {"data.tsv", "id,name\tcity\n1,a\tx\n2,b\ty\n", {"id,name", "city"}, {"1,a\r\n2,b", "x\r\ny"}, 2},
    };
    dialog->selectPage(3);  // from the menu column 1 goes to 配列1 whichever page shows
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        openFileChooser.scriptChoice(tableFile(c.name, c.bytes));
        onModal = [this](QDialog& modal) {
            auto& table = dynamic_cast<TableImportDialog&>(modal);
            heading = table.m_table->horizontalHeaderItem(0)->text().toStdString();
            table.m_header->setChecked(true);
            return int{QDialog::Accepted};
        };
        dialog->OnCommand(kCmdOpenTableFile);
        EXPECT_EQ(modalRuns.back(), "表の取り込み");
        EXPECT_EQ(heading, "列1 → 配列1");
        for (std::size_t k = 0; k < 2; ++k) {
            EXPECT_EQ(array(k).token, c.tokens[k]);
            EXPECT_EQ(array(k).valuesText, c.values[k]);
        }
        EXPECT_EQ(dialog->documentShown().window.loopCount, c.rows);
        dialog->OnCommand(kCmdUndoTable);
        EXPECT_EQ(array(0).token, "＜配列1＞");
        EXPECT_EQ(array(0).valuesText, "");
        EXPECT_EQ(array(1).valuesText, "");
        EXPECT_EQ(dialog->documentShown().window.loopCount, 7);
    }
    ASSERT_EQ(openFileChooser.calls().size(), std::size(cases));
    EXPECT_EQ(openFileChooser.calls()[0].title, QStringLiteral("表ファイルを開く"));
    EXPECT_EQ(openFileChooser.calls()[0].nameFilters,
              QStringList({"表ファイル (*.csv *.tsv *.txt)", "すべてのファイル (*)"}));
    EXPECT_TRUE(messageBox.calls().empty());
}

// Nothing changes and nothing opens when the chooser is cancelled or the file gives no table.
TEST_F(TableImport, aFileThatGivesNoTableIsRefusedWithItsReason) {
    const std::string folder = dir.directory() + "/folder.csv";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    const std::string large = tableFile("large.csv", "a,b\r\n");
    ASSERT_EQ(truncate(large.c_str(), static_cast<off_t>(kTableFileMaxBytes + 1)), 0);  // sparse: no disk taken
    const std::string missing = dir.directory() + "/missing.csv";
    const std::string empty = tableFile("empty.txt", "\r\n\r\n");
    struct Case {
        std::optional<std::string> chosen;
        std::string message;  // none: no box either
    };
    const Case cases[] = {
        {std::nullopt, ""},
        {large,
         "表ファイルが上限の 256 MB "
         "を超えるため、取り込めません。\r\nファイルを分けてから開いてください。\r\n\r\nファイル: " +
             large},
        {missing,
         "表ファイルを読み込めませんでした。\r\n\r\nファイル: " + missing + "\r\n理由: ファイルが見つかりません"},
        {folder, "表ファイルを読み込めませんでした。\r\n\r\nファイル: " + folder + "\r\n理由: フォルダーです"},
        {empty, "ファイルに表として取り込めるテキストがありません。\r\n\r\nファイル: " + empty},
    };
    const Document before = dialog->documentShown();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const std::size_t boxes = messageBox.calls().size();
        if (c.chosen) {
            openFileChooser.scriptChoice(*c.chosen);
        } else {
            openFileChooser.scriptCancel();
        }
        if (!c.message.empty()) messageBox.scriptAnswer(IDOK);
        dialog->OnCommand(kCmdOpenTableFile);
        EXPECT_TRUE(modalRuns.empty());
        ASSERT_EQ(messageBox.calls().size(), boxes + (c.message.empty() ? 0 : 1));
        if (!c.message.empty()) {
            EXPECT_EQ(messageBox.calls().back().text, c.message);
        }
        EXPECT_EQ(dialog->documentShown(), before);
    }
}

// A file dragged over any part of the window opens: the first table file of the drop; other drops stay the
// widget's own.
TEST_F(TableImport, aTableFileDroppedOnTheWindowOpensTheImport) {
    tableFile("a.csv", "from a,1\r\n");
    tableFile("b.TSV", "from b\t2\r\n");
    tableFile("c.txt", "from c\r\n");
    tableFile("picture.png", "\x89PNG");
    auto* templateEdit = control<QPlainTextEdit>(kIdTemplate);
    const QString templateText = templateEdit->toPlainText();
    struct Case {
        QWidget* target;
        QStringList dropped;
        const char* opened;  // the first cell shown; empty: the window left the drop alone
    };
    const Case cases[] = {
        {dialog.get(), {"a.csv"}, "from a"},
        {templateEdit->viewport(), {"picture.png", "b.TSV", "a.csv"}, "from b"},
        {dialog.get(), {"c.txt"}, "from c"},
        {dialog.get(), {"picture.png"}, ""},
        {dialog.get(), {"https://example.com/a.csv"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dropped.join(' ').toStdString());
        const std::size_t runs = modalRuns.size();
        const auto [taken, firstCell] = drop(c.target, c.dropped);
        EXPECT_EQ(taken, *c.opened != '\0');
        EXPECT_EQ(modalRuns.size(), runs + (*c.opened ? 1 : 0));
        EXPECT_EQ(firstCell, c.opened);
    }
    EXPECT_EQ(templateEdit->toPlainText(), templateText)
        << "the editor typed in the name of a table file dropped on it";
    EXPECT_EQ(array(0).valuesText, "");
}

}  // namespace
}  // namespace ravolin
