#include "platform/qt/TrayIcon.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace ravolin {
namespace {

QIcon someIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkBlue);
    return QIcon(pixmap);
}

TEST(TrayMouseMessage, mapsActivationsToWindowsMouseMessages) {
    struct Case {
        QSystemTrayIcon::ActivationReason reason;
        std::optional<unsigned> message;
    };
    const Case cases[] = {
        {QSystemTrayIcon::DoubleClick, 0x0203u},  // WM_LBUTTONDBLCLK
        {QSystemTrayIcon::Context, 0x0204u},      // WM_RBUTTONDOWN
        {QSystemTrayIcon::Trigger, 0x0201u},      // WM_LBUTTONDOWN
        {QSystemTrayIcon::MiddleClick, 0x0207u},  // WM_MBUTTONDOWN
        {QSystemTrayIcon::Unknown, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(trayMouseMessage(c.reason), c.message) << c.reason;
}

TEST(QtTrayIcon, refusesTheIconWhereNoNotificationAreaExists) {
    if (QSystemTrayIcon::isSystemTrayAvailable()) GTEST_SKIP() << "this display has a notification area";
    QtTrayIcon tray;
    EXPECT_FALSE(tray.IsAvailable());
    EXPECT_FALSE(tray.Add(someIcon(), "RavArchive"));
    const auto* icon = tray.findChild<QSystemTrayIcon*>();
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->isVisible());  // show() would have "succeeded" with nothing on screen
    tray.Remove();
    EXPECT_FALSE(icon->isVisible());
}

TEST(QtTrayIcon, reportsEachActivationToTheCurrentHandler) {
    QtTrayIcon tray;
    auto* icon = tray.findChild<QSystemTrayIcon*>();
    ASSERT_NE(icon, nullptr);
    std::vector<unsigned> first, second;
    tray.SetMouseHandler([&first](unsigned message) { first.push_back(message); });
    emit icon->activated(QSystemTrayIcon::DoubleClick);
    emit icon->activated(QSystemTrayIcon::Unknown);
    emit icon->activated(QSystemTrayIcon::Context);
    tray.SetMouseHandler([&second](unsigned message) { second.push_back(message); });
    emit icon->activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(first, (std::vector<unsigned>{kWmLButtonDblClk, kWmRButtonDown}));
    EXPECT_EQ(second, std::vector<unsigned>{kWmLButtonDown});
}

TEST(QtTrayIcon, handlerMayReplaceItselfWhileReporting) {
    QtTrayIcon tray;
    auto* icon = tray.findChild<QSystemTrayIcon*>();
    ASSERT_NE(icon, nullptr);
    int calls = 0;
    tray.SetMouseHandler([&tray, &calls](unsigned) {
        ++calls;
        tray.SetMouseHandler({});
    });
    emit icon->activated(QSystemTrayIcon::DoubleClick);
    emit icon->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace ravolin
