#include <algorithm>

#include <QAccessible>
#include <QComboBox>
#include <QFontDatabase>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextBrowser>

#include "conversion/Expansion.h"
#include "tests/ui/DialogFixture.h"
#include "ui/FormatDialog.h"
#include "ui/GuideDialog.h"
#include "ui/OutputView.h"
#include "ui/controls/FontMapping.h"
#include "ui/controls/TabControl.h"

namespace ravolin {
namespace {

class JapaneseDesktop : public DialogFixture {
protected:
    void SetUp() override {
        writeSettingsWithFont("", "[Edit]\r\nOrigin=text\r\n[Arrangement]\r\nValue1=a,b\r\n");
        createAndShow();
    }

    // The multi-line edits a user types into or reads from: the template, the output, array 1's values (its
    // page shown).
    std::vector<QAbstractScrollArea*> multiLineEdits() {
        showTab(1);
        return {control<QPlainTextEdit>(kIdTemplate), control<OutputView>(kIdOutput),
                qobject_cast<QPlainTextEdit*>(dialog->arrayPages()[0].GetDlgItem(kIdArrayValues))};
    }
    static bool hasSelection(QAbstractScrollArea* edit) {
        if (auto* view = qobject_cast<OutputView*>(edit)) return view->hasSelection();
        return qobject_cast<QPlainTextEdit*>(edit)->textCursor().hasSelection();
    }

    // How many pixels of the edit are drawn in the colour of a focused selection.
    void showTab(int index) {
        dialog->tabControl()->SetCurSel(index);
        dialog->OnSelchangeTab();
    }

    static int highlightedPixels(QAbstractScrollArea& edit) {
        const QImage image = edit.viewport()->grab().toImage();
        const QRgb highlight = edit.palette().color(QPalette::Active, QPalette::Highlight).rgb();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == highlight ? 1 : 0;
        return count;
    }
};

TEST_F(JapaneseDesktop, ctrlTabTypesATabInTheEditableMultiLineEdits) {
    for (QAbstractScrollArea* edit : multiLineEdits()) {
        SCOPED_TRACE(edit->accessibleName().toStdString());
        edit->setFocus();
        const std::string before = GetWindowText(edit);
        QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(QApplication::focusWidget(), edit);
        EXPECT_EQ(GetWindowText(edit), edit == dialog->GetDlgItem(kIdOutput) ? before : before + '\t');
    }
    // Tab alone still moves on.
    QAbstractScrollArea* editor = multiLineEdits()[0];
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), editor);
}

TEST_F(JapaneseDesktop, selectionShowsOnlyWhileTheEditHasTheFocus) {
    for (QAbstractScrollArea* edit : multiLineEdits()) {
        SCOPED_TRACE(edit->accessibleName().toStdString());
        edit->setFocus();
        QMetaObject::invokeMethod(edit, "selectAll");
        EXPECT_GT(highlightedPixels(*edit), 0);
        dialog->GetDlgItem(kIdExit)->setFocus();
        EXPECT_TRUE(hasSelection(edit));  // hidden, not dropped
        EXPECT_EQ(highlightedPixels(*edit), 0);
    }
}

// Every control a user can reach, as assistive technology sees it.
void collectInteractive(QAccessibleInterface* node, std::vector<QAccessibleInterface*>& found) {
    if (!node) return;
    static const QAccessible::Role interactive[] = {
        QAccessible::PushButton,  QAccessible::CheckBox, QAccessible::EditableText, QAccessible::PageTab,
        QAccessible::PageTabList, QAccessible::MenuItem, QAccessible::ComboBox,     QAccessible::SpinBox};
    if (node->state().focusable ||
        std::find(std::begin(interactive), std::end(interactive), node->role()) != std::end(interactive)) {
        found.push_back(node);
    }
    for (int i = 0; i < node->childCount(); ++i) collectInteractive(node->child(i), found);
}

TEST_F(JapaneseDesktop, everyControlOfTheWindowAndItsPagesHasAnAccessibleName) {
    std::vector<QAccessibleInterface*> controls;
    // Hidden pages are left out of the tree: show each in turn.
    for (int tab = 0; tab < dialog->tabControl()->GetItemCount(); ++tab) {
        showTab(tab);
        collectInteractive(QAccessible::queryAccessibleInterface(dialog.get()), controls);
    }
    for (QMenu* menu : dialog->findChildren<QMenu*>()) {
        collectInteractive(QAccessible::queryAccessibleInterface(menu), controls);
    }
    EXPECT_GT(controls.size(), 60u);  // 15 counter fields, 18 array fields, the window's own, tabs, menus
    QStringList names;
    for (QAccessibleInterface* control : controls) {
        const QString name = control->text(QAccessible::Name);
        EXPECT_FALSE(name.trimmed().isEmpty())
            << "role " << control->role() << " of "
            << (control->object() ? control->object()->metaObject()->className() : "?");
        names << name;
    }
    for (const char* expected : {"ループ回数", "置換元エディタ", "[数値] 3 行目の初期値", "[配列9] 値", "変換実行"}) {
        EXPECT_TRUE(names.contains(QString::fromUtf8(expected))) << expected;
    }
}

TEST_F(JapaneseDesktop, qtsOwnTextsAreJapanese) {
    std::unique_ptr<QMenu> menu(control<QPlainTextEdit>(kIdTemplate)->createStandardContextMenu());
    QStringList items;
    for (const QAction* action : menu->actions()) items << action->text().section('\t', 0, 0);
    EXPECT_TRUE(items.contains(QStringLiteral("コピー(&C)"))) << items.join(' ').toStdString();
    EXPECT_TRUE(items.contains(QStringLiteral("すべてを選択"))) << items.join(' ').toStdString();
}

TEST_F(JapaneseDesktop, guideOpensFromTheHelpMenuAndItsExampleIsWhatTheProgramMakes) {
    dialog->GetMenuItem(kCmdGuide)->trigger();
    EXPECT_EQ(modalRuns, std::vector<std::string>{"Ravolin の使い方"});

    ExpansionInput example;
    example.templateText = "＜置換1＞番目: ＜配列1＞さん";
    example.loopCount = 3;
    example.counters[0] = {"＜置換1＞", 1, 1};
    example.arrays[0] = {"＜配列1＞", "田中\r\n鈴木\r\n佐藤"};
    QString expected = QString::fromStdString(ExpandTemplate(example));
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    GuideDialog guide(dialog.get());
    const QString shown = guide.findChild<QTextBrowser*>()->toPlainText();
    EXPECT_TRUE(shown.contains(expected)) << expected.toStdString();
    EXPECT_TRUE(shown.contains(QString::fromStdString(example.templateText)));
}

// The format dialog and the guide draw in the window's Japanese face, the examples too; the preview, of fixed
// pitch for its columns, in the Japanese face of fixed pitch. The desktop's faces may have no Japanese glyphs.
TEST_F(JapaneseDesktop, formatDialogAndGuideDrawInTheWindowsJapaneseFaces) {
    const QString windowFace = QFontInfo(dialog->GetDlgItem(kIdExecute)->font()).family();
    ASSERT_TRUE(QFontDatabase::families(QFontDatabase::Japanese).contains(windowFace)) << windowFace.toStdString();
    std::vector<std::pair<QString, QFont>> drawn;
    QFont preview;
    onModal = [&](QDialog& modal) {
        if (auto* format = dynamic_cast<FormatDialog*>(&modal)) {
            drawn.emplace_back("書式と繰り返し", format->font());
            drawn.emplace_back("書式", format->m_counterRows[0].format->font());
            preview = format->m_preview->font();
        } else if (const auto* guide = modal.findChild<QTextBrowser*>()) {
            const QTextDocument& text = *guide->document();
            for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
                for (auto part = block.begin(); !part.atEnd(); ++part) {
                    const QTextFragment fragment = part.fragment();
                    drawn.emplace_back(fragment.text(), fragment.charFormat().font().resolve(text.defaultFont()));
                }
            }
        }
        return QDialog::Rejected;
    };
    dialog->GetMenuItem(kCmdFormatSettings)->trigger();
    dialog->GetMenuItem(kCmdGuide)->trigger();
    ASSERT_EQ(modalRuns, (std::vector<std::string>{"書式と繰り返し", "Ravolin の使い方"}));
    ASSERT_GT(drawn.size(), 20u);
    for (const auto& [what, font] : drawn)
        EXPECT_EQ(QFontInfo(font).family().toStdString(), windowFace.toStdString()) << what.toStdString();
    EXPECT_EQ(QFontInfo(preview).family().toStdString(), resolveInstalledFamily("IPAGothic").toStdString());
    const QFontMetrics metrics(preview);
    EXPECT_EQ(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W'));
}

}  // namespace
}  // namespace ravolin
