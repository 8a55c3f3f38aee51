#include "platform/qt/SettingsFileChooser.h"

#include <gtest/gtest.h>

#include <memory>

#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QWidget>

namespace ravolin {
namespace {

TEST(SettingsFileChooser, opensOrSavesIniFilesInQtsDialog_startingWhereTheWindowSays) {
    QWidget owner;
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    struct Case {
        bool save;
        QString start;
        const char* title;
        QFileDialog::AcceptMode mode;
        QString typed;     // a name typed into the dialog
        QString selected;  // what it then gives back
    };
    const Case cases[] = {
        {false, folder.path(), "設定を開く", QFileDialog::AcceptOpen, "", ""},
        {true, folder.path() + "/RavolinSetting.ini", "設定に名前を付けて保存", QFileDialog::AcceptSave, "名簿",
         folder.path() + "/名簿.ini"},
    };
    for (const Case& c : cases) {
        const std::unique_ptr<QFileDialog> dialog(createSettingsFileDialog(&owner, c.save, c.start));
        EXPECT_EQ(dialog->windowTitle().toStdString(), c.title);
        EXPECT_EQ(dialog->acceptMode(), c.mode);
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(dialog->nameFilters().front(), QString::fromUtf8("設定ファイル (*.ini)"));
        EXPECT_EQ(QDir(dialog->directory()).absolutePath(), QDir(folder.path()).absolutePath());
        if (c.typed.isEmpty()) continue;
        dialog->selectFile(c.typed);
        EXPECT_EQ(dialog->selectedFiles(), QStringList{c.selected});
    }
}

}  // namespace
}  // namespace ravolin
