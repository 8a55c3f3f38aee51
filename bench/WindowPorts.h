#pragma once

#include "platform/qt/FontChooser.h"
#include "platform/qt/OpenFileChooser.h"
#include "platform/qt/ResultFileChooser.h"
#include "platform/qt/SettingsFileChooser.h"
#include "platform/qt/TrayIcon.h"
#include "ui/DialogServices.h"

// The program's own choosers and icon for a window measured offscreen, where none of them is ever opened.
struct WindowPorts {
    ravolin::QtFontChooser fontChooser;
    ravolin::QtTrayIcon trayIcon;
    ravolin::QtResultFileChooser resultFileChooser;
    ravolin::QtOpenFileChooser openFileChooser;
    ravolin::QtSettingsFileChooser settingsFileChooser;

    // `resultChooser` in place of the program's own, where a measurement saves the result.
    ravolin::DialogServices services(ravolin::MessageBoxPort& messageBox, ravolin::TonePort& tone,
                                     ravolin::ResultFileChooserPort* resultChooser = nullptr) {
        return {.messageBox = messageBox,
                .tone = tone,
                .fontChooser = fontChooser,
                .trayIcon = trayIcon,
                .resultFileChooser = resultChooser ? *resultChooser : resultFileChooser,
                .openFileChooser = openFileChooser,
                .settingsFileChooser = settingsFileChooser};
    }
};

class SilentTone final : public ravolin::TonePort {
public:
    void Beep(int, int) override {}
};
