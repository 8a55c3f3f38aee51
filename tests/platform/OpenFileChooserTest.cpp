#include "platform/qt/OpenFileChooser.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

#include "testsupport/core/ScopedEnv.h"

namespace ravolin {
namespace {

// Each title opens in the home folder (no documents folder here) at first, then where its last file was chosen.
TEST(OpenFileChooser, opensForAnExistingFileWithTheRequestsFiltersWhereItsLastFileWasChosen) {
    QTemporaryDir root;
    const QString home = root.filePath("home");
    const QString elsewhere = root.filePath("elsewhere");
    ASSERT_TRUE(QDir().mkpath(home + "/.config") && QDir().mkpath(elsewhere));
    const ScopedEnv homeEnv("HOME", home.toStdString());
    const ScopedEnv configEnv("XDG_CONFIG_HOME", (home + "/.config").toStdString());
    QFile table(elsewhere + "/t.csv");
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.close();

    const OpenFileRequest tables{"表ファイルを開く", {"表ファイル (*.csv *.tsv *.txt)", "すべてのファイル (*)"}};
    const OpenFileRequest other{"設定", {"すべてのファイル (*)"}};
    struct Case {
        const OpenFileRequest* request;
        QString chosen;
        QString openedIn;
    };
    const Case cases[] = {
        {&tables, table.fileName(), home},
        {&tables, table.fileName(), elsewhere},
        {&other, table.fileName(), home},
    };
    QtOpenFileChooser chooser;
    QWidget owner;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen.toStdString());
        QString openedIn;
        QTimer::singleShot(0, [&] {
            auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!shown) return;
            openedIn = shown->directory().absolutePath();
            EXPECT_EQ(shown->windowTitle(), c.request->title);
            EXPECT_EQ(shown->nameFilters(), c.request->nameFilters);
            EXPECT_EQ(shown->fileMode(), QFileDialog::ExistingFile);
            shown->selectFile(c.chosen);
            static_cast<QDialog*>(shown)->accept();  // QFileDialog's own, which checks the name
        });
        const std::optional<std::string> chosen = chooser.GetOpenFileName(&owner, *c.request);
        EXPECT_EQ(openedIn, c.openedIn);
        EXPECT_EQ(chosen, c.chosen.toStdString());
    }
}

}  // namespace
}  // namespace ravolin
