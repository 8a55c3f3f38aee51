#include <QApplication>

#include "ConverterApp.h"
#include "FontChooser.h"
#include "MessageBox.h"
#include "TrayIcon.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The settings record lives from before the start sequence to the end of the process.
    static ravolin::Settings record;
    static ravolin::QtMessageBox messageBox;
    static ravolin::QtFontChooser fontChooser;
    // A QObject: it has to go before the application does.
    ravolin::QtTrayIcon trayIcon;
    ravolin::ConverterApp app({.dialog = {.messageBox = messageBox, .fontChooser = fontChooser, .trayIcon = trayIcon}},
                              record);
    app.InitInstance();
    return 0;
}
