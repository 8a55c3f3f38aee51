#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>

#include "app/CommandLine.h"
#include "app/ConverterApp.h"
#include "app/TerminationSignals.h"
#include "platform/core/WorkingDirectory.h"
#include "platform/qt/FontChooser.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/OpenFileChooser.h"
#include "platform/qt/QtTranslation.h"
#include "platform/qt/ResultFileChooser.h"
#include "platform/qt/SettingsFileChooser.h"
#include "platform/qt/TrayIcon.h"
#include "platform/sound/Tone.h"

namespace {

// What Qt says while it connects to the display. A display that refuses the connection ends in a fatal
// message ("Reinstalling the application may fix this problem", then abort): the user gets one clear line
// and exit status 1 instead. Any other fatal start (a platform plugin that is missing or doesn't load) is
// told in Qt's own words, which name the plugin, also with exit status 1. Everything Qt said before is
// passed on, once the connection stands or before that fatal message.
struct StartupMessage {
    QtMsgType type;
    std::string category;  // Qt writes it before the text, except "default"
    QString text;
};
std::vector<StartupMessage> g_startupMessages;
QtMessageHandler g_previousHandler = nullptr;

// An X server or a Wayland compositor that isn't there, as Qt's xcb and wayland plugins tell of it.
bool displayRefused(const StartupMessage& message) {
    return (message.category == "qt.qpa.xcb" && message.text.startsWith("could not connect to display")) ||
           message.text.startsWith("Failed to create wl_display");
}

void passOn(const StartupMessage& message) {
    if (g_previousHandler) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        g_previousHandler(message.type, context, message.text);
    } else {
        std::cerr << message.text.toStdString() << '\n';
    }
}

void startupMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    StartupMessage message{type, context.category ? context.category : "default", text};
    if (type != QtFatalMsg) {
        g_startupMessages.push_back(std::move(message));
        return;
    }
    if (std::any_of(g_startupMessages.begin(), g_startupMessages.end(), displayRefused)) {
        std::fputs(ravolin::noDisplayText(), stderr);
    } else {
        for (const StartupMessage& earlier : g_startupMessages) passOn(earlier);
        passOn(message);
    }
    _exit(1);
}

// A file of the program's own in the per-user folder; the folder is made only to write there.
std::string userFolderFile(const char* name, bool create) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    const ravolin::UserFolder folder =
        create ? ravolin::prepareUserFolder(xdg, home) : ravolin::userFolderPath(xdg, home);
    return folder.ok() ? folder.path + "/" + name : std::string();
}

// The window's size and state, and the settings files last opened or saved.
std::string windowStateFile(bool create) { return userFolderFile("window.ini", create); }
std::string recentFilesFile(bool create) { return userFolderFile("recent-settings.txt", create); }

// With --user-folder, the folder the settings are kept in.
ravolin::UserFolder userFolder() {
    return ravolin::prepareUserFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

void endStartupMessages() {
    qInstallMessageHandler(g_previousHandler);
    for (const StartupMessage& message : g_startupMessages) passOn(message);
    g_startupMessages.clear();
}

}  // namespace

int main(int argc, char** argv) {
    // A file-size limit (ulimit -f) fails a save with EFBIG, told as any failed save, instead of killing.
    std::signal(SIGXFSZ, SIG_IGN);
    const ravolin::CommandLine line = ravolin::parseCommandLine(argc, argv);
    switch (line.action) {
        case ravolin::CommandLine::Action::Help:
            std::fputs(ravolin::helpText(), stdout);
            return 0;
        case ravolin::CommandLine::Action::Version:
            std::fputs(ravolin::versionText(), stdout);
            return 0;
        case ravolin::CommandLine::Action::Wrong:
            std::cerr << "ravolin: " << line.error << '\n' << ravolin::usageText();
            return 2;
        case ravolin::CommandLine::Action::Run:
            break;
    }
    if (!ravolin::displayNamed(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                               std::getenv("WAYLAND_DISPLAY"))) {
        std::fputs(ravolin::noDisplayText(), stderr);
        return 1;
    }
    g_previousHandler = qInstallMessageHandler(startupMessageHandler);
    QApplication application(argc, argv);
    endStartupMessages();
    QGuiApplication::setDesktopFileName(QStringLiteral(RAVOLIN_APP_ID));
    ravolin::installQtJapaneseTranslation(application);
    // The settings record lives from before the start sequence to the end of the process.
    static ravolin::Settings record;
    static ravolin::QtMessageBox messageBox;
    static ravolin::QtFontChooser fontChooser;
    // Never destroyed: a run still sounding it may outlive the dialog, and the process ends without
    // waiting for the run.
    static ravolin::AlsaTone& tone = *new ravolin::AlsaTone;
    // A QObject: it has to go before the application does.
    ravolin::QtTrayIcon trayIcon;
    ravolin::QtResultFileChooser resultFileChooser;
    ravolin::QtOpenFileChooser openFileChooser;
    ravolin::QtSettingsFileChooser settingsFileChooser;
    ravolin::ConverterApp app({.dialog = {.messageBox = messageBox,
                                          .tone = tone,
                                          .fontChooser = fontChooser,
                                          .trayIcon = trayIcon,
                                          .resultFileChooser = resultFileChooser,
                                          .openFileChooser = openFileChooser,
                                          .settingsFileChooser = settingsFileChooser,
                                          .windowStateFile = windowStateFile,
                                          .recentFilesFile = recentFilesFile},
                               .userFolder = line.userFolder ? userFolder : std::function<ravolin::UserFolder()>(),
                               .settingsFile = line.file},
                              record);
    // A termination signal ends the program as the end of the desktop session does.
    std::string error;
    if (!ravolin::handleTerminationSignals([&app] { app.EndSession(); }, error)) {
        std::cerr << "ravolin: " << error << '\n';
    }
    app.InitInstance();
    return app.ExitInstance();
}
