#include "platform/qt/ResultFileChooser.h"

#include <gtest/gtest.h>

#include <memory>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QSet>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "testsupport/core/ScopedEnv.h"

namespace ravolin {
namespace {

TEST(ResultFileChooser, opensPrefilledWithJapaneseRowsAndGivesBackWhatItHolds) {
    QWidget owner;
    const QString folder = QDir::tempPath();
    struct Case {
        ResultFileChoice initial;
    };
    const Case cases[] = {
        {{.path = "", .cp932 = false, .lfLineEnds = false, .loopCount = 10}},
        {{.path = (folder + "/out.txt").toStdString(), .cp932 = true, .lfLineEnds = true, .loopCount = 2147483647}},
        {{.path = "", .cp932 = false, .lfLineEnds = true, .loopCount = -5}},  // a count below 0 runs no pass
    };
    for (const Case& c : cases) {
        const std::unique_ptr<QFileDialog> dialog(createResultFileDialog(&owner, c.initial, folder));
        EXPECT_EQ(dialog->windowTitle().toStdString(), "変換結果の保存");
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(QDir(dialog->directory()).absolutePath(), QDir(folder).absolutePath());
        QStringList captions;
        for (const QLabel* label : dialog->findChildren<QLabel*>()) {
            if (label->buddy() && label->buddy()->objectName() != "") captions << label->text();
        }
        EXPECT_TRUE(captions.contains("文字コード(&E):")) << captions.join('|').toStdString();
        EXPECT_TRUE(captions.contains("改行(&R):"));
        EXPECT_TRUE(captions.contains("ループ回数(&L):"));
        // Our rows' access keys don't take one of Qt's own (its file name field is Alt+N).
        QStringList keys;
        for (const QWidget* widget : dialog->findChildren<QWidget*>()) {
            const QString text = widget->property("text").toString();
            const qsizetype amp = text.indexOf('&');
            if (amp >= 0 && amp + 1 < text.size() && text[amp + 1] != '&') keys << text.mid(amp + 1, 1).toUpper();
        }
        EXPECT_EQ(keys.size(), QSet<QString>(keys.begin(), keys.end()).size()) << keys.join(' ').toStdString();

        ResultFileChoice expected = c.initial;
        if (expected.loopCount < 0) expected.loopCount = 0;
        if (expected.path.empty()) {
            dialog->selectFile("typed.txt");
            expected.path = (folder + "/typed.txt").toStdString();
        }
        EXPECT_EQ(choiceOf(*dialog), expected);
        // The user's changes are what comes back.
        dialog->findChild<QComboBox*>("encoding")->setCurrentIndex(expected.cp932 ? 0 : 1);
        dialog->findChild<QSpinBox*>("loopCount")->setValue(12345);
        EXPECT_EQ(choiceOf(*dialog).cp932, !expected.cp932);
        EXPECT_EQ(choiceOf(*dialog).loopCount, 12345);
    }
}

TEST(ResultFileChooser, listShowsNameSizeTypeAndDateWhole) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir("サブフォルダ"));
    struct File {
        const char* name;
        qint64 size;
    };
    // "29 バイト" under the Japanese translation; kibibytes, mebibytes; an empty file is a type of its own.
    for (const File& file : {File{"29.txt", 29}, File{"変換結果_2024年12月分のデータ.txt", 1234567},
                             File{"result.txt", 29800}, File{"空.txt", 0}}) {
        QFile out(folder.filePath(QString::fromUtf8(file.name)));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.resize(file.size));
    }
    QWidget owner;
    const std::unique_ptr<QFileDialog> dialog(createResultFileDialog(&owner, {}, folder.path()));
    dialog->setViewMode(QFileDialog::Detail);
    dialog->show();
    auto* list = dialog->findChild<QTreeView*>();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([list] { return list->model()->rowCount(list->rootIndex()) == 5; }));
    QTest::qWait(50);  // the sizes, types and dates come in after the names
    const QHeaderView* header = list->header();
    ASSERT_GE(header->count(), 4);
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 4; ++column) {
            const QModelIndex cell = list->model()->index(row, column, list->rootIndex());
            EXPECT_LE(list->sizeHintForIndex(cell).width(), header->sectionSize(column))
                << cell.data().toString().toStdString() << " in column " << column;
        }
    }
    EXPECT_LE(header->length(), list->viewport()->width()) << "the columns need a horizontal scroll";
}

TEST(ResultFileChooser, opensInTheDocumentsFolderAtFirstThenWhereTheLastSaveWent) {
    QTemporaryDir root;
    const QString home = root.filePath("home");
    ASSERT_TRUE(QDir().mkpath(home + "/.config"));
    const ScopedEnv homeEnv("HOME", home.toStdString());
    const ScopedEnv configEnv("XDG_CONFIG_HOME", (home + "/.config").toStdString());
    struct Case {
        const char* what;
        const char* userDirs;  // the desktop's names of the user's folders, if any
        const char* created;
        const char* expected;
    };
    const Case cases[] = {
        {"no documents folder", nullptr, nullptr, ""},
        {"the usual one", nullptr, "/Documents", "/Documents"},
        {"the desktop's own", "XDG_DOCUMENTS_DIR=\"$HOME/文書\"\n", "/文書", "/文書"},
        {"the desktop's own, missing", "XDG_DOCUMENTS_DIR=\"$HOME/gone\"\n", "/Documents", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile userDirs(home + "/.config/user-dirs.dirs");
        userDirs.remove();
        if (c.userDirs) {
            ASSERT_TRUE(userDirs.open(QIODevice::WriteOnly) && userDirs.write(c.userDirs) > 0);
        }
        userDirs.close();
        if (c.created) {
            ASSERT_TRUE(QDir().mkpath(home + QString::fromUtf8(c.created)));
        }
        EXPECT_EQ(defaultResultFolder(), home + QString::fromUtf8(c.expected));
    }

    // The documents folder, then the last save's. What each dialog opened on, then the file typed into it.
    QFile::remove(home + "/.config/user-dirs.dirs");
    const QString elsewhere = root.filePath("elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    QtResultFileChooser chooser;
    QWidget owner;
    QStringList opened;
    for (const QString& file : {elsewhere + "/a.txt", QString("b.txt")}) {
        QTimer::singleShot(0, [&opened, file] {
            auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!shown) return;
            opened << shown->directory().absolutePath();
            shown->selectFile(file);
            static_cast<QDialog*>(shown)->accept();  // QFileDialog's own, which checks the name
        });
        const std::optional<ResultFileChoice> chosen = chooser.GetSaveFileName(&owner, {});
        ASSERT_TRUE(chosen.has_value());
    }
    EXPECT_EQ(opened, QStringList({home + "/Documents", elsewhere})) << opened.join(' ').toStdString();
}

}  // namespace
}  // namespace ravolin
