#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "platform/qt/QtTranslation.h"

// The main() of every test executable that creates widgets.
int main(int argc, char** argv) {
    // A locale that isn't installed would silently test the C locale instead.
    if (!std::setlocale(LC_ALL, "")) {
        std::fprintf(stderr, "the locale %s is not installed (scripts/install-deps.sh generates it)\n",
                     qgetenv("LC_ALL").constData());
        return 1;
    }
    // gtest_discover_tests runs the binary without the test's environment, and a QApplication without a
    // display aborts.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a runtime folder Qt makes one of its own under /tmp; the run's own instead (private, as Qt wants it).
    const QTemporaryDir runtime;
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QApplication app(argc, argv);
    // Qt's file dialog keeps its state in the user's settings (~/.config/QtProject.conf): kept in a folder of the
    // run instead, as a test writes nothing outside its temporary folders.
    const QTemporaryDir qtSettings;
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, qtSettings.path());
    // As in the program: Qt's own texts in Japanese.
    ravolin::installQtJapaneseTranslation(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
