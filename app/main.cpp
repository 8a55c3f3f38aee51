#include <iostream>
#include <string>

#include <QApplication>

#include "ConverterApp.h"
#include "MessageBox.h"
#include "TerminationSignals.h"
#include "Tone.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::string error;
    if (!ravolin::quitOnTerminationSignals(error)) std::cerr << "ravolin: " << error << '\n';
    // The settings record lives from before the start sequence to the end of the process.
    static ravolin::Settings record;
    static ravolin::QtMessageBox messageBox;
    // Never destroyed: a run still sounding it may outlive the dialog, and the process ends without
    // waiting for the run.
    static ravolin::AlsaTone& tone = *new ravolin::AlsaTone;
    ravolin::ConverterApp app({.dialog = {.messageBox = messageBox, .tone = tone}}, record);
    app.InitInstance();
    return 0;
}
