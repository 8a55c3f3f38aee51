#include <QApplication>

#include "ConverterApp.h"
#include "MessageBox.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The settings record lives from before the start sequence to the end of the process.
    static ravolin::Settings record;
    static ravolin::QtMessageBox messageBox;
    ravolin::ConverterApp app({.dialog = {.messageBox = messageBox}}, record);
    app.InitInstance();
    return 0;
}
