#include "platform/qt/FontChooser.h"

#include <gtest/gtest.h>

#include <iostream>
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QStyledItemDelegate>
#include <QWidget>

#include "ui/controls/FontMapping.h"

namespace ravolin {
namespace {

template <typename W>
int visibleCount(const QWidget& parent) {
    int count = 0;
    for (const W* widget : parent.findChildren<W*>()) count += widget->isVisible() ? 1 : 0;
    return count;
}

// The dialog is opened without a modal loop (open() returns at once) and closed again by the test.
class FontChooserDialog : public ::testing::Test {
protected:
    void openOn(const QFont& initial) {
        m_owner.show();
        m_dialog.reset(createFontChooserDialog(&m_owner, initial));
        m_dialog->open();
        ASSERT_TRUE(m_dialog->isVisible());
    }
    void TearDown() override {
        if (m_dialog) m_dialog->reject();
    }

    QWidget m_owner;
    std::unique_ptr<QFontDialog> m_dialog;
};

TEST_F(FontChooserDialog, hidesEffectsAndTheWritingSystemBox) {
    openOn(QFont("IPAPGothic", 10));
    ASSERT_FALSE(m_dialog->findChildren<QCheckBox*>().isEmpty());
    ASSERT_FALSE(m_dialog->findChildren<QComboBox*>().isEmpty());
    EXPECT_EQ(visibleCount<QCheckBox>(*m_dialog), 0);  // underline, strike-out
    EXPECT_EQ(visibleCount<QComboBox>(*m_dialog), 0);  // writing system
    for (const QLabel* label : m_dialog->findChildren<QLabel*>()) {
        if (label->buddy()) {
            EXPECT_EQ(label->isVisible(), label->buddy()->isVisible()) << label->text().toStdString();
        }
    }
    EXPECT_TRUE(m_dialog->testOption(QFontDialog::DontUseNativeDialog));  // a native one could not be cut down
}

TEST_F(FontChooserDialog, keepsFamilyStyleSizeSampleAndButtons) {
    openOn(QFont("IPAPGothic", 10));
    EXPECT_EQ(visibleCount<QListView>(*m_dialog), 3);
    EXPECT_EQ(visibleCount<QGroupBox>(*m_dialog), 1);  // the sample
    for (const QGroupBox* group : m_dialog->findChildren<QGroupBox*>()) {
        const auto* sample = group->findChild<QLineEdit*>();
        if (!group->isVisible() || !sample) continue;
        EXPECT_GE(sample->height(), QFontMetrics(sample->font()).height());  // the text fits, not a sliver
    }
    const auto* buttons = m_dialog->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_TRUE(buttons->isVisible());
    EXPECT_NE(buttons->button(QDialogButtonBox::Ok), nullptr);
    EXPECT_NE(buttons->button(QDialogButtonBox::Cancel), nullptr);
}

TEST_F(FontChooserDialog, opensOnTheInitialFontAsAWindowOfTheOwner) {
    struct Case {
        const char* family;
        int pointSize;
    };
    for (const Case& c : {Case{"IPAPGothic", 12}, Case{"IPAMincho", 9}}) {
        openOn(QFont(c.family, c.pointSize));
        EXPECT_EQ(m_dialog->parentWidget(), &m_owner);
        EXPECT_TRUE(m_dialog->isWindow());
        EXPECT_EQ(m_dialog->windowTitle(), QString::fromUtf8("フォントの選択"));  // Qt's own text, in Japanese
        EXPECT_EQ(m_dialog->currentFont().family(), resolveInstalledFamily(c.family));
        EXPECT_EQ(m_dialog->currentFont().pointSize(), c.pointSize);
        m_dialog->reject();
    }
}

TEST_F(FontChooserDialog, faceThisSystemLacks_opensOnTheFaceThatDrawsIt) {
    installJapaneseFonts(std::cerr);
    QFont windows(QString::fromUtf8("ＭＳ Ｐゴシック"));
    windows.setPixelSize(13);  // 10 points at 96 DPI, as the dialog template's font
    openOn(windows);
    EXPECT_EQ(m_dialog->currentFont().family(), resolveInstalledFamily("IPAPGothic"));
    EXPECT_EQ(m_dialog->currentFont().pointSize(), 10);
}

TEST(FontChooserStyleNames, areQtsJapaneseNamesWhereItsTranslationHasThem) {
    struct Case {
        const char* name;
        const char* shown;
    };
    const Case cases[] = {
        {"Regular", "標準"},
        {"Normal", "標準"},
        {"Bold", "太字"},
        {"Italic", "斜体"},
        {"Bold Italic", "太字 斜体"},
        {"Bold Oblique", "太字 斜体"},
        {"Demi Bold", "中太"},
        {"Light Italic", "細字 斜体"},
        {"Book", "Book"},
        {"Condensed Bold", "Condensed Bold"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(japaneseStyleName(c.name).toStdString(), c.shown) << c.name;
}

TEST_F(FontChooserDialog, showsAJapaneseSampleAndTheStylesInJapanese) {
    // A family with several styles, opened on its bold one: under the translation Qt's own name for the
    // initial style ("太字") matched none of the database's, and the dialog opened on the first style listed.
    QString family;
    for (const QString& candidate : QFontDatabase::families()) {
        const QStringList styles = QFontDatabase::styles(candidate);
        if (styles.size() > 1 && styles.contains("Bold") && styles.front() != "Bold") family = candidate;
    }
    if (family.isEmpty()) GTEST_SKIP() << "no installed family has a bold style besides others";
    QFont bold(family, 12);
    bold.setBold(true);
    struct Case {
        QFont initial;
        const char* style;
        QFont::Weight weight;
    };
    for (const Case& c : {Case{QFont("IPAPGothic", 10), "標準", QFont::Normal}, Case{bold, "太字", QFont::Bold}}) {
        SCOPED_TRACE(c.initial.family().toStdString());
        openOn(c.initial);
        const auto* sample = m_dialog->findChild<QLineEdit*>("qt_fontDialog_sampleEdit");
        ASSERT_NE(sample, nullptr);
        EXPECT_EQ(sample->text().toStdString(), "あア亜 AaBb");
        EXPECT_EQ(m_dialog->currentFont().weight(), c.weight);
        // The style column of Qt's grid: the line of the chosen style above the list of them.
        auto* grid = qobject_cast<QGridLayout*>(m_dialog->layout());
        ASSERT_NE(grid, nullptr);
        const auto* line = qobject_cast<QLineEdit*>(grid->itemAtPosition(1, 2)->widget());
        const auto* list = qobject_cast<QListView*>(grid->itemAtPosition(2, 2)->widget());
        ASSERT_TRUE(line && list);
        EXPECT_EQ(line->text().toStdString(), c.style);
        const auto* drawn = qobject_cast<const QStyledItemDelegate*>(list->itemDelegate());
        ASSERT_NE(drawn, nullptr);
        EXPECT_EQ(drawn->displayText(list->currentIndex().data(), QLocale()).toStdString(), c.style);
        m_dialog->reject();
    }
}

TEST_F(FontChooserDialog, neverReturnsUnderlineOrStrikeOut) {
    QFont initial("IPAPGothic", 10);
    initial.setUnderline(true);
    initial.setStrikeOut(true);
    openOn(initial);
    EXPECT_FALSE(m_dialog->currentFont().underline());
    EXPECT_FALSE(m_dialog->currentFont().strikeOut());
    m_dialog->accept();
    EXPECT_EQ(m_dialog->selectedFont().family(), resolveInstalledFamily("IPAPGothic"));
    EXPECT_FALSE(m_dialog->selectedFont().underline());
    EXPECT_FALSE(m_dialog->selectedFont().strikeOut());
}

}  // namespace
}  // namespace ravolin
