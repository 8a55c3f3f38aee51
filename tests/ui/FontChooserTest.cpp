#include "platform/qt/FontChooser.h"

#include <gtest/gtest.h>

#include <iostream>
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
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
