#pragma once

#include <functional>
#include <iostream>
#include <string>

#include <QDialog>

#include "platform/qt/FontChooser.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/OpenFileChooser.h"
#include "platform/qt/ResultFileChooser.h"
#include "platform/qt/SettingsFileChooser.h"
#include "platform/qt/TrayIcon.h"
#include "platform/sound/Tone.h"
#include "ui/controls/FontMapping.h"

namespace ravolin {

// The tone at the end of a run or a result save, when the beep is on.
inline constexpr int kEndToneHz = 1000;
inline constexpr int kEndToneMs = 50;

// The platform services the main dialog reaches through ports, so tests can stand in for each of them.
struct DialogServices {
    MessageBoxPort& messageBox;
    // Runs a dialog modally (version information) and returns its result.
    std::function<int(QDialog&)> runModal = [](QDialog& dialog) { return dialog.exec(); };
    // The end-of-run tone. A worker may still sound it after the dialog is gone: it must outlive every run.
    TonePort& tone;
    // The editor font's chooser and the notification-area icon.
    FontChooserPort& fontChooser;
    TrayIconPort& trayIcon;
    // Where "結果をファイルに保存" writes, and how.
    ResultFileChooserPort& resultFileChooser;
    // Which file "表ファイルを開く" reads.
    OpenFileChooserPort& openFileChooser;
    // Where "設定を開く" and "設定に名前を付けて保存" read and write.
    SettingsFileChooserPort& settingsFileChooser;
    // The file that keeps the window's size between starts, in the per-user folder; none when it gives "".
    // `create`: make the folder when it is missing (for a write).
    std::function<std::string(bool create)> windowStateFile = [](bool) { return std::string(); };
    // The same for the list of the settings files last opened or saved.
    std::function<std::string(bool create)> recentFilesFile = [](bool) { return std::string(); };
    // Maps the Windows faces to installed ones before the window is built; says which face draws the window.
    std::function<JapaneseFontPlan()> japaneseFonts = [] { return installJapaneseFonts(std::cerr); };
};

}  // namespace ravolin
