#include <iostream>
#include <string>

#include <QApplication>

#include "ConverterApp.h"
#include "FontChooser.h"
#include "MessageBox.h"
#include "QtTranslation.h"
#include "TerminationSignals.h"
#include "Tone.h"
#include "TrayIcon.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    ravolin::installQtJapaneseTranslation(application);
    std::string error;
    if (!ravolin::quitOnTerminationSignals(error)) std::cerr << "ravolin: " << error << '\n';
    // The settings record lives from before the start sequence to the end of the process.
    static ravolin::Settings record;
    static ravolin::QtMessageBox messageBox;
    static ravolin::QtFontChooser fontChooser;
    // Never destroyed: a run still sounding it may outlive the dialog, and the process ends without
    // waiting for the run.
    static ravolin::AlsaTone& tone = *new ravolin::AlsaTone;
    // A QObject: it has to go before the application does.
    ravolin::QtTrayIcon trayIcon;
    ravolin::ConverterApp app(
        {.dialog = {.messageBox = messageBox, .tone = tone, .fontChooser = fontChooser, .trayIcon = trayIcon}}, record);
    app.InitInstance();
    return 0;
}
