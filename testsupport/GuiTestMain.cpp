#include <gtest/gtest.h>

#include <QApplication>

// The main() of every test executable that creates widgets.
int main(int argc, char** argv) {
    // gtest_discover_tests runs the binary without the test's environment, and a QApplication without a
    // display aborts.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
