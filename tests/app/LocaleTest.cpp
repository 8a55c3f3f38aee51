#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include <QProcess>
#include <QRegularExpression>
#include <QSize>
#include <QTemporaryDir>

#include "tests/app/ProgramProcess.h"
#include "testsupport/XvfbServer.h"
#include "testsupport/core/TempSettingsDir.h"

namespace ravolin {
namespace {

constexpr int kWindowTimeoutMs = 20000;

bool localeInstalled(const char* name) {
    locale_t locale = newlocale(LC_ALL_MASK, name, nullptr);
    if (!locale) return false;
    freelocale(locale);
    return true;
}

// The real program on a Japanese desktop: whatever the locale, the window keeps its template geometry (the
// Windows face is drawn by the same IPA font) and Qt's own dialogs speak Japanese.
TEST(ProgramUnderLocales, windowKeepsItsSizeAndTheFontChooserIsJapanese) {
    if (!XvfbServer::isInstalled()) GTEST_SKIP() << "Xvfb is not installed: no X server to run the program on";
    XvfbServer x;
    QTemporaryDir runtime;
    ASSERT_TRUE(startStage(x, runtime));
    TempSettingsDir work;
    work.writeSettings("[Common]\r\nFont=" + std::string(kValidFontDescription) + "\r\n");

    QSize neutral;
    for (const char* locale : {"C.UTF-8", "ja_JP.UTF-8", "ja_JP.eucJP"}) {
        SCOPED_TRACE(locale);
        ASSERT_TRUE(localeInstalled(locale)) << "scripts/install-deps.sh generates the locale";
        QProcessEnvironment env = x.environment();
        env.insert("LC_ALL", locale);
        env.insert("LANG", locale);
        QProcess program;
        prepareProgram(program, env, runtime, work);
        program.start();
        ASSERT_TRUE(program.waitForStarted(10000));
        const QString window = x.waitForWindow("^Ravolin$", program.processId(), kWindowTimeoutMs);
        ASSERT_FALSE(window.isEmpty()) << program.readAllStandardError().toStdString();
        const QSize size = windowSize(x, window);
        if (neutral.isEmpty()) neutral = size;
        EXPECT_EQ(size, neutral);

        // "ツール(&T)" opens on its first item, "置換元エディタのフォント設定".
        x.run("xdotool", {"windowfocus", "--sync", window});
        x.run("xdotool", {"key", "--clearmodifiers", "alt+t"});
        x.run("xdotool", {"key", "Return"});
        EXPECT_FALSE(waitForTitle(x, program.processId(), QString::fromUtf8("フォントの選択")).isEmpty());

        program.kill();
        ASSERT_TRUE(program.waitForFinished(10000));
    }
    EXPECT_EQ(neutral.width(), 956);
}

}  // namespace
}  // namespace ravolin
